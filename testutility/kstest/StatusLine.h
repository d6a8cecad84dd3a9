#pragma once

// A one-line status (elapsed time and counters of a running operation) redrawn in
// place on a terminal. On anything else (a pipe, a file) it prints nothing.

#include <cstdio>
#include <string>

class StatusLine
{
public:
    explicit StatusLine(FILE* pOut);

    void Show(const std::string& text);
    // Ends the line the status is on.
    void Finish();

private:
    FILE* const m_pOut;
    const bool m_bEnabled;
    std::size_t m_cchShown = 0;
};
