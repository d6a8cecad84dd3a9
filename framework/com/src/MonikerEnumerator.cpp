#include "MonikerEnumerator.h"

namespace com
{

MonikerEnumerator::MonikerEnumerator(std::vector<ComPtr<IMoniker>> monikers, std::size_t position)
    : m_monikers(std::move(monikers)), m_position(position)
{
}

HRESULT MonikerEnumerator::Next(ULONG celt, IMoniker** rgelt, ULONG* pceltFetched)
{
    if (!rgelt || (celt > 1 && !pceltFetched))
        return E_POINTER;
    ULONG fetched = 0;
    while (fetched < celt && m_position < m_monikers.size())
        m_monikers[m_position++].CopyTo(&rgelt[fetched++]);
    if (pceltFetched)
        *pceltFetched = fetched;
    return fetched == celt ? S_OK : S_FALSE;
}

HRESULT MonikerEnumerator::Skip(ULONG celt)
{
    std::size_t available = m_monikers.size() - m_position;
    m_position += std::min<std::size_t>(celt, available);
    return celt <= available ? S_OK : S_FALSE;
}

HRESULT MonikerEnumerator::Reset()
{
    m_position = 0;
    return S_OK;
}

HRESULT MonikerEnumerator::Clone(IEnumMoniker** ppenum)
{
    if (!ppenum)
        return E_POINTER;
    *ppenum = new MonikerEnumerator(m_monikers, m_position);
    return S_OK;
}

} // namespace com
