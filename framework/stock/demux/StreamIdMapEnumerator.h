#pragma once

// IEnumStreamIdMap over a copy of an output pin's stream id map.

#include "com/ComObject.h"
#include "dshow/Mpeg2Demux.h"

#include <vector>

class StreamIdMapEnumerator final : public ComObject<IEnumStreamIdMap>
{
public:
    explicit StreamIdMapEnumerator(std::vector<STREAM_ID_MAP> entries, size_t position = 0)
        : m_Entries(std::move(entries)), m_Position(position)
    {
    }

    HRESULT Next(ULONG cRequest, STREAM_ID_MAP* pStreamIdMap, ULONG* pcReceived) override;
    HRESULT Skip(ULONG cRecords) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumStreamIdMap** ppIEnumStreamIdMap) override;

private:
    const std::vector<STREAM_ID_MAP> m_Entries;
    size_t m_Position;
};
