#pragma once

// The splitter's demultiplexing thread: reads the source's packets from the
// start and copies each into the queue of the output that carries its stream,
// then marks every queue ended. Packets of streams whose output is not connected,
// or takes no more (its queue discards), are dropped; once no output takes any,
// reading stops and every queue is marked ended.
//
// A full queue makes the thread wait, which is how a slow output holds the
// source back. When it waits on a full queue while every other output is idle
// for want of data, the file's interleave skew exceeds the buffering and the
// graph can never move again; if no data drains for kStallLimit the thread
// reports VFW_E_BUFFER_OVERFLOW and ends, instead of hanging.

#include "PacketQueue.h"
#include "ProgramStreamDemuxer.h"

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

class DemuxThread
{
public:
    // Where one stream's packets go.
    struct Route
    {
        const AVStream* pStream = nullptr;
        PacketQueue* pQueue = nullptr;
        bool bStripLpcmHeader = false; // DVD LPCM packets open with a 3-byte header
    };

    static constexpr std::chrono::milliseconds kStallLimit{10000};

    // onError reports a failure of the stream (called on the thread).
    explicit DemuxThread(std::function<void(HRESULT)> onError) : m_OnError(std::move(onError)) {}
    ~DemuxThread() { Stop(); }
    DemuxThread(const DemuxThread&) = delete;
    DemuxThread& operator=(const DemuxThread&) = delete;

    static constexpr size_t kMaxRoutes = 2;

    // Starts reading demuxer from its first byte into the routes' queues.
    void Start(ProgramStreamDemuxer* pDemuxer, const std::array<Route, kMaxRoutes>& routes,
               size_t cRoutes);
    // Closes the routes' queues and waits for the thread to end.
    void Stop();

private:
    void Run();
    // False when streaming must end (queue closed, stall, stop).
    bool Store(const Route& route, const AVPacket& packet);
    bool PutWaiting(const Route& route, const PacketInfo& info, const BYTE* pData, size_t cbData);
    bool OtherOutputsStarving(const Route& route) const;
    bool NoRouteTakesPackets() const;
    const Route* RouteOf(int nStreamIndex) const;
    void EndAllQueues();

    const std::function<void(HRESULT)> m_OnError;
    ProgramStreamDemuxer* m_pDemuxer = nullptr;
    std::array<Route, kMaxRoutes> m_Routes{};
    size_t m_cRoutes = 0;
    std::atomic<bool> m_bStop{false};
    std::thread m_Thread;
};
