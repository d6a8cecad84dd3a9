#pragma once
// Decides when the graph as a whole has completed: once every renderer has
// reported EC_COMPLETE since the graph last started streaming.
//
// The renderers are counted when streaming starts (see IsRenderer). A filter that
// reports EC_COMPLETE counts as a renderer too. A report that does not name its
// filter (null second parameter) counts as one anonymous renderer. Thread-safe:
// reports arrive on streaming threads.

#include "GraphTopology.h"

#include <mutex>
#include <set>

namespace graph
{

class RendererCompletion
{
public:
    /// Starts a new round with these renderers.
    void Reset(const FilterList& renderers);
    /// Stops counting until the next Reset (reports are then ignored).
    void Disarm();
    /// Records a report; true exactly once per round, when the graph completes.
    bool Report(IBaseFilter* reporter);

private:
    std::mutex m_mutex;
    std::set<IBaseFilter*> m_expected;
    std::set<IBaseFilter*> m_reported;
    std::size_t m_anonymousReports = 0;
    bool m_armed = false;
};

} // namespace graph
