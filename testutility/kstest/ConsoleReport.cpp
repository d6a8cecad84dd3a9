#include "ConsoleReport.h"

#include <cstdlib>
#include <iostream>

void ConsoleReport::Diagnostic(const std::string& line)
{
    const size_t start = line.find_first_not_of('\n');
    if (start != std::string::npos)
        std::cerr << "kstest: " << line.substr(start) << '\n';
}

void ConsoleReport::PrintFailure(const std::string& reason) const
{
    for (size_t i = 0; i + 1 < m_Messages.size(); ++i)
        std::cerr << "kstest: " << m_Messages[i] << '\n';
    const std::string last =
        m_Messages.empty() ? "Error occurred during Playback" : m_Messages.back();
    std::cerr << "kstest: " << last << ": " << reason << std::endl;
}

void ConsoleReport::PrintMessages() const
{
    for (const std::string& message : m_Messages)
        std::cerr << "kstest: " << message << '\n';
}

void ConsoleReport::DebugOutput(const std::string& line)
{
    if (std::getenv("KSTEST_DEBUG"))
        std::cerr << "kstest (debug): " << line << '\n';
}
