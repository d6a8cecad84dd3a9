#pragma once
// IEnumFilters over the graph's filters as they were when the enumerator was made.

#include "GraphTopology.h"
#include "com/ComObject.h"

namespace graph
{

class FilterEnumerator final : public ComObject<IEnumFilters>
{
public:
    explicit FilterEnumerator(FilterList filters, std::size_t position = 0);

    HRESULT Next(ULONG cFilters, IBaseFilter** ppFilter, ULONG* pcFetched) override;
    HRESULT Skip(ULONG cFilters) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumFilters** ppEnum) override;

private:
    FilterList m_filters;
    std::size_t m_position;
};

} // namespace graph
