#include "PacketQueue.h"

#include <algorithm>
#include <cstring>
#include <new>

// Precedes each payload; a record whose cbData is kPadding marks the unused
// tail of the ring.
struct PacketQueue::RecordHeader
{
    static constexpr uint32_t kPadding = 0xFFFFFFFF;

    PacketInfo info;
    uint32_t cbData;
};

namespace
{
constexpr size_t kAlign = alignof(std::max_align_t);
// A producer waiting on a full ring is woken once this share of it is free, not for
// every record the consumer takes, so the two threads do not wake each other in turn.
constexpr size_t kRefillShare = 4;

size_t AlignUp(size_t n)
{
    return (n + kAlign - 1) / kAlign * kAlign;
}
} // namespace

size_t PacketQueue::RecordSize(size_t cbData)
{
    return AlignUp(sizeof(RecordHeader) + cbData);
}

bool PacketQueue::Allocate(size_t cbCapacity)
{
    std::lock_guard lock(m_mutex);
    cbCapacity = AlignUp(cbCapacity);
    if (cbCapacity != m_cbCapacity)
    {
        // Not zero-filled: pages the stream never reaches stay unused.
        m_pRing.reset(new (std::nothrow) BYTE[cbCapacity]);
        m_cbCapacity = m_pRing ? cbCapacity : 0;
    }
    m_cbWritten = m_cbRead = 0;
    m_bEnded = m_bClosed = m_bDiscarding = m_bConsumerWaiting = m_bProducerWaiting = false;
    m_Open = {};
    return m_pRing != nullptr;
}

void PacketQueue::Free()
{
    std::lock_guard lock(m_mutex);
    m_pRing.reset();
    m_cbCapacity = 0;
    m_cbWritten = m_cbRead = 0;
    m_Open = {};
}

size_t PacketQueue::MaxPayload() const
{
    return m_cbCapacity < 8 * sizeof(RecordHeader) ? 0 : m_cbCapacity / 4 - sizeof(RecordHeader);
}

PacketQueue::PutResult PacketQueue::Put(const PacketInfo& info, const BYTE* pData, size_t cbData,
                                        std::chrono::milliseconds maxWait)
{
    const PutResult result = BeginRecord(info, cbData, maxWait);
    if (result == PutResult::Stored)
    {
        Append(pData, cbData);
        EndRecord();
    }
    return result;
}

size_t PacketQueue::PaddingFor(size_t cbRecord) const
{
    const size_t offset = size_t(m_cbWritten % m_cbCapacity);
    return offset + cbRecord > m_cbCapacity ? m_cbCapacity - offset : 0;
}

PacketQueue::PutResult PacketQueue::BeginRecord(const PacketInfo& info, size_t cbMax,
                                                std::chrono::milliseconds maxWait)
{
    EndRecord();
    std::unique_lock lock(m_mutex);
    if (m_cbCapacity == 0 || cbMax > MaxPayload())
        return PutResult::Closed; // the producer must split; refuse rather than overrun
    const size_t cbRecord = RecordSize(cbMax);
    m_bProducerWaiting = true;
    const bool bRoom =
        m_cvRoom.wait_for(lock, maxWait,
                          [&] {
                              return m_bClosed || m_bDiscarding ||
                                     Used() + PaddingFor(cbRecord) + cbRecord <= m_cbCapacity;
                          });
    m_bProducerWaiting = false;
    if (m_bClosed)
        return PutResult::Closed;
    if (m_bDiscarding)
        return PutResult::Discarded;
    if (!bRoom)
        return PutResult::TimedOut;
    // The reserved bytes lie past what the consumer may read, so they are written
    // without the lock until EndRecord publishes them.
    const size_t cbPadding = PaddingFor(cbRecord);
    m_Open = {true, info, size_t((m_cbWritten + cbPadding) % m_cbCapacity), cbPadding, cbMax, 0};
    return PutResult::Stored;
}

size_t PacketQueue::Append(const BYTE* pData, size_t cbData)
{
    if (!m_Open.bOpen)
        return 0;
    const size_t cbCopy = std::min(cbData, m_Open.cbMax - m_Open.cbData);
    if (cbCopy > 0)
        std::memcpy(m_pRing.get() + m_Open.offset + sizeof(RecordHeader) + m_Open.cbData, pData,
                    cbCopy);
    m_Open.cbData += cbCopy;
    return cbCopy;
}

void PacketQueue::EndRecord()
{
    if (!m_Open.bOpen)
        return;
    m_Open.bOpen = false;
    {
        std::lock_guard lock(m_mutex);
        if (m_bClosed || m_bDiscarding)
            return;
        if (m_Open.cbPadding >= sizeof(RecordHeader))
        {
            const RecordHeader padding{{}, RecordHeader::kPadding};
            std::memcpy(m_pRing.get() + m_cbWritten % m_cbCapacity, &padding, sizeof padding);
        }
        const RecordHeader header{m_Open.info, uint32_t(m_Open.cbData)};
        std::memcpy(m_pRing.get() + m_Open.offset, &header, sizeof header);
        m_cbWritten += m_Open.cbPadding + RecordSize(m_Open.cbData);
    }
    m_cvData.notify_one();
}

void PacketQueue::EndOfStream()
{
    {
        std::lock_guard lock(m_mutex);
        m_bEnded = true;
    }
    m_cvData.notify_all();
}

void PacketQueue::Discard()
{
    {
        std::lock_guard lock(m_mutex);
        m_bDiscarding = true;
        m_cbRead = m_cbWritten;
    }
    m_cvRoom.notify_all();
}

bool PacketQueue::IsDiscarding() const
{
    std::lock_guard lock(m_mutex);
    return m_bDiscarding;
}

void PacketQueue::Close()
{
    {
        std::lock_guard lock(m_mutex);
        m_bClosed = true;
    }
    m_cvData.notify_all();
    m_cvRoom.notify_all();
}

void PacketQueue::Reset()
{
    std::lock_guard lock(m_mutex);
    m_cbWritten = m_cbRead = 0;
    m_bEnded = m_bClosed = m_bDiscarding = m_bConsumerWaiting = m_bProducerWaiting = false;
    m_Open = {};
}

size_t PacketQueue::ReadOffset() const
{
    const size_t offset = size_t(m_cbRead % m_cbCapacity);
    if (m_cbCapacity - offset < sizeof(RecordHeader))
        return 0;
    RecordHeader header;
    std::memcpy(&header, m_pRing.get() + offset, sizeof header);
    return header.cbData == RecordHeader::kPadding ? 0 : offset;
}

bool PacketQueue::Front(PacketInfo* pInfo, const BYTE** ppData, size_t* pcbData)
{
    std::unique_lock lock(m_mutex);
    m_bConsumerWaiting = true;
    m_cvData.wait(lock, [this] { return m_bClosed || m_bEnded || Used() > 0; });
    m_bConsumerWaiting = false;
    if (m_bClosed || Used() == 0 || m_cbCapacity == 0)
        return false;
    const size_t offset = ReadOffset();
    if (offset == 0 && m_cbRead % m_cbCapacity != 0)
        m_cbRead += m_cbCapacity - m_cbRead % m_cbCapacity; // skip the padding
    RecordHeader header;
    std::memcpy(&header, m_pRing.get() + offset, sizeof header);
    *pInfo = header.info;
    *ppData = m_pRing.get() + offset + sizeof header;
    *pcbData = header.cbData;
    return true;
}

void PacketQueue::Pop()
{
    bool bWakeProducer = false;
    {
        std::lock_guard lock(m_mutex);
        if (Used() == 0)
            return;
        RecordHeader header;
        std::memcpy(&header, m_pRing.get() + m_cbRead % m_cbCapacity, sizeof header);
        m_cbRead += RecordSize(header.cbData);
        bWakeProducer = m_bProducerWaiting && Used() <= m_cbCapacity - m_cbCapacity / kRefillShare;
    }
    if (bWakeProducer)
        m_cvRoom.notify_one();
}

bool PacketQueue::IsClosed() const
{
    std::lock_guard lock(m_mutex);
    return m_bClosed;
}

bool PacketQueue::IsConsumerStarving() const
{
    std::lock_guard lock(m_mutex);
    return m_bConsumerWaiting && !m_bEnded && !m_bClosed && !m_bDiscarding;
}

uint64_t PacketQueue::BytesConsumed() const
{
    std::lock_guard lock(m_mutex);
    return m_cbRead;
}
