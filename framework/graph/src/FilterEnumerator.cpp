#include "FilterEnumerator.h"

#include <algorithm>

namespace graph
{

FilterEnumerator::FilterEnumerator(FilterList filters, std::size_t position)
    : m_filters(std::move(filters)), m_position(position)
{
}

HRESULT FilterEnumerator::Next(ULONG cFilters, IBaseFilter** ppFilter, ULONG* pcFetched)
{
    if (!ppFilter || (cFilters > 1 && !pcFetched))
        return E_POINTER;
    ULONG fetched = 0;
    while (fetched < cFilters && m_position < m_filters.size())
        m_filters[m_position++].CopyTo(&ppFilter[fetched++]);
    if (pcFetched)
        *pcFetched = fetched;
    return fetched == cFilters ? S_OK : S_FALSE;
}

HRESULT FilterEnumerator::Skip(ULONG cFilters)
{
    std::size_t available = m_filters.size() - m_position;
    m_position += std::min<std::size_t>(cFilters, available);
    return cFilters <= available ? S_OK : S_FALSE;
}

HRESULT FilterEnumerator::Reset()
{
    m_position = 0;
    return S_OK;
}

HRESULT FilterEnumerator::Clone(IEnumFilters** ppEnum)
{
    if (!ppEnum)
        return E_POINTER;
    *ppEnum = new FilterEnumerator(m_filters, m_position);
    return S_OK;
}

} // namespace graph
