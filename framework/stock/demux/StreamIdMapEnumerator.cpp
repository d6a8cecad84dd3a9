#include "StreamIdMapEnumerator.h"

#include <algorithm>

HRESULT StreamIdMapEnumerator::Next(ULONG cRequest, STREAM_ID_MAP* pStreamIdMap, ULONG* pcReceived)
{
    if (!pStreamIdMap || (cRequest > 1 && !pcReceived))
        return E_POINTER;
    const size_t cCopy = std::min<size_t>(cRequest, m_Entries.size() - m_Position);
    std::copy_n(m_Entries.begin() + ptrdiff_t(m_Position), cCopy, pStreamIdMap);
    m_Position += cCopy;
    if (pcReceived)
        *pcReceived = ULONG(cCopy);
    return cCopy == cRequest ? S_OK : S_FALSE;
}

HRESULT StreamIdMapEnumerator::Skip(ULONG cRecords)
{
    const size_t cSkip = std::min<size_t>(cRecords, m_Entries.size() - m_Position);
    m_Position += cSkip;
    return cSkip == cRecords ? S_OK : S_FALSE;
}

HRESULT StreamIdMapEnumerator::Reset()
{
    m_Position = 0;
    return S_OK;
}

HRESULT StreamIdMapEnumerator::Clone(IEnumStreamIdMap** ppIEnumStreamIdMap)
{
    if (!ppIEnumStreamIdMap)
        return E_POINTER;
    *ppIEnumStreamIdMap = new StreamIdMapEnumerator(m_Entries, m_Position);
    return S_OK;
}
