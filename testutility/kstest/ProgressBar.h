#pragma once

// A one-line progress bar (percent done and throughput) redrawn in place on a
// terminal. On anything else (a pipe, a file) it prints nothing.

#include <chrono>
#include <cstdio>

class ProgressBar
{
public:
    explicit ProgressBar(FILE* pOut);

    // Redraws the bar for cbDone of cbTotal bytes.
    void Show(long long cbDone, long long cbTotal);
    // Ends the line the bar is on.
    void Finish();

private:
    FILE* const m_pOut;
    const bool m_bEnabled;
    const std::chrono::steady_clock::time_point m_Start;
    bool m_bShown = false;
};
