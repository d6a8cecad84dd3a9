#include "RendererCompletion.h"

namespace graph
{

void RendererCompletion::Reset(const FilterList& renderers)
{
    std::lock_guard lock(m_mutex);
    m_expected.clear();
    for (const ComPtr<IBaseFilter>& renderer : renderers)
        m_expected.insert(renderer.Get());
    m_reported.clear();
    m_anonymousReports = 0;
    m_armed = true;
}

void RendererCompletion::Disarm()
{
    std::lock_guard lock(m_mutex);
    m_armed = false;
}

bool RendererCompletion::Report(IBaseFilter* reporter)
{
    std::lock_guard lock(m_mutex);
    if (!m_armed)
        return false;
    if (reporter)
    {
        m_expected.insert(reporter);
        m_reported.insert(reporter);
    }
    else
    {
        ++m_anonymousReports;
    }
    if (m_reported.size() + m_anonymousReports < m_expected.size())
        return false;
    m_armed = false; // one EC_COMPLETE per round
    return true;
}

} // namespace graph
