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
    // A start that ended without a message (the device could not be bound or added)
    // is told by its reason alone.
    if (m_Messages.empty())
        std::cerr << "kstest: " << reason << std::endl;
    else
        std::cerr << "kstest: " << m_Messages.back() << ": " << reason << std::endl;
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
