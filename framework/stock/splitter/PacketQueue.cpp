#include "PacketQueue.h"

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
    m_bEnded = m_bClosed = m_bDiscarding = m_bConsumerWaiting = false;
    return m_pRing != nullptr;
}

void PacketQueue::Free()
{
    std::lock_guard lock(m_mutex);
    m_pRing.reset();
    m_cbCapacity = 0;
    m_cbWritten = m_cbRead = 0;
}

size_t PacketQueue::MaxPayload() const
{
    return m_cbCapacity < 8 * sizeof(RecordHeader) ? 0 : m_cbCapacity / 4 - sizeof(RecordHeader);
}

PacketQueue::PutResult PacketQueue::Put(const PacketInfo& info, const BYTE* pData, size_t cbData,
                                        std::chrono::milliseconds maxWait)
{
    std::unique_lock lock(m_mutex);
    const size_t cbRecord = RecordSize(cbData);
    if (m_cbCapacity == 0 || cbData > MaxPayload())
        return PutResult::Closed; // the producer must split; refuse rather than overrun
    auto offset = [this] { return size_t(m_cbWritten % m_cbCapacity); };
    auto cbPadding = [&]
    { return offset() + cbRecord > m_cbCapacity ? m_cbCapacity - offset() : 0; };
    const bool bRoom = m_cvRoom.wait_for(lock, maxWait,
                                         [&] {
                                             return m_bClosed || m_bDiscarding ||
                                                    Used() + cbPadding() + cbRecord <= m_cbCapacity;
                                         });
    if (m_bClosed)
        return PutResult::Closed;
    if (m_bDiscarding)
        return PutResult::Discarded;
    if (!bRoom)
        return PutResult::TimedOut;

    if (const size_t cbPad = cbPadding(); cbPad > 0)
    {
        if (cbPad >= sizeof(RecordHeader))
        {
            RecordHeader padding{{}, RecordHeader::kPadding};
            std::memcpy(m_pRing.get() + offset(), &padding, sizeof padding);
        }
        m_cbWritten += cbPad;
    }
    BYTE* pRecord = m_pRing.get() + offset();
    const RecordHeader header{info, uint32_t(cbData)};
    std::memcpy(pRecord, &header, sizeof header);
    if (cbData > 0)
        std::memcpy(pRecord + sizeof header, pData, cbData);
    m_cbWritten += cbRecord;
    lock.unlock();
    m_cvData.notify_one();
    return PutResult::Stored;
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
    m_bEnded = m_bClosed = m_bDiscarding = m_bConsumerWaiting = false;
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
    {
        std::lock_guard lock(m_mutex);
        if (Used() == 0)
            return;
        RecordHeader header;
        std::memcpy(&header, m_pRing.get() + m_cbRead % m_cbCapacity, sizeof header);
        m_cbRead += RecordSize(header.cbData);
    }
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
