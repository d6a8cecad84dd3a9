#pragma once

// The splitter's demultiplexing thread: reads the source from its first byte in
// large blocks, walks its packs and PES packets, and packs the payload of each
// chosen stream into the queue of the output that carries it (PesPacker), then
// marks every queue ended. Packets of other streams are skipped; once no output
// takes any more (every queue discards), reading stops and every queue is marked
// ended.
//
// A full queue makes the thread wait, which is how a slow output holds the
// source back. When it waits on a full queue while every other output is idle
// for want of data, the file's interleave skew exceeds the buffering and the
// graph can never move again; if no data drains for kStallLimit the thread
// reports VFW_E_BUFFER_OVERFLOW and ends, instead of hanging. A failed read is
// reported with the reader's error, and the queues end with what was read.

#include "PacketQueue.h"
#include "PesPacker.h"
#include "ProgramStreamDemuxer.h"

#include "demux/ProgramStreamParser.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <span>
#include <thread>

class DemuxThread
{
public:
    using Route = PesPacker::Route;

    static constexpr std::chrono::milliseconds kStallLimit{10000};

    // onError reports a failure of the stream (called on the thread).
    explicit DemuxThread(std::function<void(HRESULT)> onError);
    ~DemuxThread() { Stop(); }
    DemuxThread(const DemuxThread&) = delete;
    DemuxThread& operator=(const DemuxThread&) = delete;

    // Starts reading demuxer's source from its first byte into the routes' queues
    // (at most PesPacker::kMaxRoutes). False when the read buffer cannot be had.
    bool Start(ProgramStreamDemuxer* pDemuxer, std::span<const Route> routes);
    // Closes the routes' queues and waits for the thread to end.
    void Stop();

private:
    void Run();
    // True once the source has been read to its end (or no output takes more),
    // false when streaming must stop.
    bool ParseSource();
    PacketQueue::PutResult WaitForRecord(const Route& route, const PacketInfo& info);
    bool OtherOutputsStarving(const Route& route) const;
    bool NoRouteTakesPackets() const;
    void EndAllQueues();

    const std::function<void(HRESULT)> m_OnError;
    ProgramStreamDemuxer* m_pDemuxer = nullptr;
    PesPacker m_Packer;
    ProgramStreamParser m_Parser{m_Packer};
    std::unique_ptr<uint8_t[]> m_pReadBuffer;
    std::atomic<bool> m_bStop{false};
    std::thread m_Thread;
};
