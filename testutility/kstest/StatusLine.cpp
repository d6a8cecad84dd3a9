#include "StatusLine.h"

#include <unistd.h>

StatusLine::StatusLine(FILE* pOut) : m_pOut(pOut), m_bEnabled(isatty(fileno(pOut)) != 0) {}

void StatusLine::Show(const std::string& text)
{
    if (!m_bEnabled)
        return;
    // Blanks cover what a longer earlier text left on the line.
    const std::size_t cchPad = m_cchShown > text.size() ? m_cchShown - text.size() : 0;
    std::fprintf(m_pOut, "\r%s%*s", text.c_str(), int(cchPad), "");
    std::fflush(m_pOut);
    m_cchShown = text.size();
}

void StatusLine::Finish()
{
    if (m_cchShown > 0)
        std::fputc('\n', m_pOut);
    m_cchShown = 0;
}
