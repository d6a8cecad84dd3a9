#include "DemuxThread.h"

#include <new>

namespace
{
constexpr std::chrono::milliseconds kWaitSlice{250};
// Large reads keep the reader's calls few; the parser takes them in one piece.
constexpr LONG kReadSize = 256 * 1024;
} // namespace

DemuxThread::DemuxThread(std::function<void(HRESULT)> onError)
    : m_OnError(std::move(onError)), m_Packer([this](const Route& route, const PacketInfo& info)
                                              { return WaitForRecord(route, info); })
{
}

bool DemuxThread::Start(ProgramStreamDemuxer* pDemuxer, std::span<const Route> routes)
{
    Stop();
    if (!m_pReadBuffer)
        m_pReadBuffer.reset(new (std::nothrow) uint8_t[kReadSize]);
    if (!m_pReadBuffer)
        return false;
    m_pDemuxer = pDemuxer;
    m_Packer.Start(*pDemuxer, routes);
    m_bStop = false;
    m_Thread = std::thread([this] { Run(); });
    return true;
}

void DemuxThread::Stop()
{
    m_bStop = true;
    for (const Route& route : m_Packer.Routes())
        route.pQueue->Close();
    if (m_Thread.joinable())
        m_Thread.join();
    m_Packer.Clear();
}

void DemuxThread::Run()
{
    m_pDemuxer->Rewind();
    m_Parser.Reset();
    const bool bEnded = ParseSource();
    m_Packer.EndRecords();
    if (bEnded)
        EndAllQueues();
}

bool DemuxThread::ParseSource()
{
    while (!m_bStop && !m_Packer.IsHalted())
    {
        // Once no output takes packets any more, the rest of the source is not read.
        if (NoRouteTakesPackets())
            return true;
        LONG cbRead = 0;
        const HRESULT hr = m_pDemuxer->ReadNext(m_pReadBuffer.get(), kReadSize, &cbRead);
        if (hr != S_OK)
        {
            if (FAILED(hr))
                m_OnError(hr);
            return true;
        }
        m_Parser.Push({m_pReadBuffer.get(), size_t(cbRead)});
    }
    return false;
}

bool DemuxThread::NoRouteTakesPackets() const
{
    for (const Route& route : m_Packer.Routes())
    {
        if (!route.pQueue->IsDiscarding())
            return false;
    }
    return true;
}

void DemuxThread::EndAllQueues()
{
    for (const Route& route : m_Packer.Routes())
        route.pQueue->EndOfStream();
}

PacketQueue::PutResult DemuxThread::WaitForRecord(const Route& route, const PacketInfo& info)
{
    std::chrono::milliseconds stalled{0};
    uint64_t cbConsumed = route.pQueue->BytesConsumed();
    for (;;)
    {
        const PacketQueue::PutResult result =
            route.pQueue->BeginRecord(info, route.cbMaxRecord, kWaitSlice);
        if (result != PacketQueue::PutResult::TimedOut)
            return result;
        if (m_bStop)
            return PacketQueue::PutResult::Closed;
        const uint64_t cbNowConsumed = route.pQueue->BytesConsumed();
        if (cbNowConsumed != cbConsumed || !OtherOutputsStarving(route))
        {
            cbConsumed = cbNowConsumed;
            stalled = std::chrono::milliseconds{0};
            continue;
        }
        stalled += kWaitSlice;
        if (stalled >= kStallLimit)
        {
            m_OnError(VFW_E_BUFFER_OVERFLOW);
            return PacketQueue::PutResult::Closed;
        }
    }
}

bool DemuxThread::OtherOutputsStarving(const Route& route) const
{
    bool bAnyOther = false;
    for (const Route& other : m_Packer.Routes())
    {
        if (&other == &route)
            continue;
        if (!other.pQueue->IsConsumerStarving())
            return false;
        bAnyOther = true;
    }
    return bAnyOther;
}
