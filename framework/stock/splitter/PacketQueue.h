#pragma once

// The buffer between the splitter's demultiplexing thread and one output's
// delivery thread: a ring of packet records (a small header and the payload
// bytes) in one block of memory allocated when streaming starts, so streaming
// itself allocates nothing. Records never wrap; a record that does not fit at
// the end of the ring starts again at its beginning.
//
// The producer writes a record in place: BeginRecord reserves room for its
// largest size, Append copies payload into it, EndRecord publishes it with the
// size it reached. Only the reservation waits, and only one record is open at a
// time; the consumer sees a record once it has ended.
//
// The producer waits while the ring is full, the consumer while it is empty.
// EndOfStream lets the consumer drain what is left; Close ends both sides at
// once (streaming stops); Discard, from a consumer that takes no more, empties
// the ring and makes the producer's Put drop its packets at once, so a queue
// nobody drains never holds the producer back. The queue also tells whether its
// consumer is waiting for data, which the producer uses to recognise a stall.

#include <com/Types.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

struct PacketInfo
{
    static constexpr DWORD kHasTime = 0x1;
    static constexpr DWORD kSyncPoint = 0x2;

    LONGLONG tStart = 0; // 100-ns units, valid with kHasTime
    DWORD dwFlags = 0;
};

class PacketQueue
{
public:
    enum class PutResult
    {
        Stored,
        TimedOut,  // no room within the wait
        Discarded, // the consumer takes no more: the packet is dropped
        Closed,
    };

    PacketQueue() = default;
    PacketQueue(const PacketQueue&) = delete;
    PacketQueue& operator=(const PacketQueue&) = delete;

    // Makes the ring cbCapacity bytes long (keeping it when it already is) and
    // empties it. False when the memory cannot be had.
    bool Allocate(size_t cbCapacity);
    void Free();
    size_t Capacity() const { return m_cbCapacity; }

    // The largest payload one record takes; the producer splits bigger packets.
    size_t MaxPayload() const;

    // Producer. Put stores a whole record, waiting up to maxWait for room.
    PutResult Put(const PacketInfo& info, const BYTE* pData, size_t cbData,
                  std::chrono::milliseconds maxWait);
    // Producer, one record in place: BeginRecord waits up to maxWait for room for
    // cbMax payload bytes (Stored opens the record); Append copies as much as the
    // record still takes and says how much that was; EndRecord publishes it (a
    // record of a closed or discarding queue is dropped). EndRecord without an
    // open record does nothing.
    PutResult BeginRecord(const PacketInfo& info, size_t cbMax, std::chrono::milliseconds maxWait);
    size_t Append(const BYTE* pData, size_t cbData);
    void EndRecord();
    bool HasOpenRecord() const { return m_Open.bOpen; }
    void EndOfStream();

    // Consumer: takes no more packets; Front then waits only for the end.
    void Discard();
    bool IsDiscarding() const;

    // Ends streaming on both sides; Reset makes the queue usable again.
    void Close();
    void Reset();

    // Consumer. Front waits for the oldest record; false once the stream has
    // ended and the queue is drained, or the queue is closed. The record stays
    // valid until Pop.
    bool Front(PacketInfo* pInfo, const BYTE** ppData, size_t* pcbData);
    void Pop();

    bool IsClosed() const;
    // True while the consumer waits for data on an empty, not yet ended queue.
    bool IsConsumerStarving() const;
    // Bytes the consumer has popped so far (padding included); grows while it drains.
    uint64_t BytesConsumed() const;

private:
    struct RecordHeader;
    // The producer's record in progress: payload goes after its header's place at
    // offset; cbPadding ring bytes before it are skipped when it is published.
    struct OpenRecord
    {
        bool bOpen = false;
        PacketInfo info;
        size_t offset = 0;
        size_t cbPadding = 0;
        size_t cbMax = 0;
        size_t cbData = 0;
    };
    static size_t RecordSize(size_t cbData);
    // Padding a record of cbRecord bytes written next needs at the ring's end.
    size_t PaddingFor(size_t cbRecord) const;

    // Offset of the next record to read, skipping the padding at the ring's end.
    size_t ReadOffset() const;
    size_t Used() const { return size_t(m_cbWritten - m_cbRead); }

    mutable std::mutex m_mutex;
    std::condition_variable m_cvData;
    std::condition_variable m_cvRoom;
    std::unique_ptr<BYTE[]> m_pRing;
    size_t m_cbCapacity = 0;
    uint64_t m_cbWritten = 0; // ring bytes ever written (records and padding)
    uint64_t m_cbRead = 0;    // ring bytes ever popped
    bool m_bEnded = false;
    bool m_bClosed = false;
    bool m_bDiscarding = false;
    bool m_bConsumerWaiting = false;
    bool m_bProducerWaiting = false;
    OpenRecord m_Open; // producer only
};
