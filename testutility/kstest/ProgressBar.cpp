#include "ProgressBar.h"

#include <algorithm>
#include <string>
#include <unistd.h>

namespace
{
constexpr int kBarWidth = 40;
} // namespace

ProgressBar::ProgressBar(FILE* pOut)
    : m_pOut(pOut), m_bEnabled(isatty(fileno(pOut)) != 0), m_Start(std::chrono::steady_clock::now())
{
}

void ProgressBar::Show(long long cbDone, long long cbTotal)
{
    if (!m_bEnabled || cbTotal <= 0)
        return;
    const double fraction = std::clamp(double(cbDone) / double(cbTotal), 0.0, 1.0);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - m_Start).count();
    const double megabytesPerSecond = seconds > 0 ? double(cbDone) / 1e6 / seconds : 0.0;
    const int filled = int(fraction * kBarWidth);
    const std::string bar =
        std::string(size_t(filled), '#') + std::string(size_t(kBarWidth - filled), '.');
    std::fprintf(m_pOut, "\r[%s] %3d%%  %6.1f MB/s", bar.c_str(), int(fraction * 100),
                 megabytesPerSecond);
    std::fflush(m_pOut);
    m_bShown = true;
}

void ProgressBar::Finish()
{
    if (m_bShown)
        std::fputc('\n', m_pOut);
    m_bShown = false;
}
