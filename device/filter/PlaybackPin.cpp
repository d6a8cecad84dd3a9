#include "PlaybackPin.h"

#include "DeviceFilter.h"
#include "FaultEvents.h"
#include "FileStatusResult.h"

#include <algorithm>

namespace
{
// Longest sleep between two looks at the filter's state.
constexpr auto kLongestSleep = std::chrono::seconds(1);
// How often a playing pin looks for a fault plan changed by another process.
constexpr auto kFaultRefreshInterval = std::chrono::milliseconds(500);
} // namespace

CPlaybackPin::CPlaybackPin(CDeviceFilter* pFilter, CCritSec* pLock, HRESULT* phr)
    : CRenderedInputPin(NAME("Playback pin"), pFilter, pLock, phr, L"Playback"), m_pDevice(pFilter),
      m_monitor([this](const CC3Header& header) { return PaceTo(header); })
{
}

HRESULT CPlaybackPin::CheckMediaType(const CMediaType* pmt)
{
    return *pmt->Type() == MEDIATYPE_Stream ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CPlaybackPin::Active()
{
    DeviceState& state = m_pDevice->State();
    const std::string recordFile = state.RecordFile();
    if (!recordFile.empty())
    {
        const FileStatus status = m_recording.Create(recordFile);
        if (!status.Succeeded())
            return HResultFromFileStatus(status);
    }
    m_monitor = C3StreamMonitor([this](const CC3Header& header) { return PaceTo(header); });
    PublishCounts();
    m_faultPlan = state.Faults();
    m_nextFaultRefresh = std::chrono::steady_clock::now() + kFaultRefreshInterval;
    m_bRefusing = false;
    m_bEventPosted = false;
    m_cSamplesRefused = 0;
    m_cPlaybackEvents = 0;
    m_pacer.Start(state.FastPacing());
    m_gate.Resume();
    return CRenderedInputPin::Active();
}

HRESULT CPlaybackPin::Inactive()
{
    m_gate.Interrupt();
    const HRESULT hr = CRenderedInputPin::Inactive();
    CAutoLock lock(&m_csReceive);
    const HRESULT hrClose = HResultFromFileStatus(m_recording.Close());
    return FAILED(hr) ? hr : hrClose;
}

HRESULT CPlaybackPin::Run(REFERENCE_TIME tStart)
{
    ComPtr<IReferenceClock> pClock;
    m_pDevice->GetSyncSource(&pClock);
    m_clock.Start(pClock.Get(), tStart);
    m_gate.Wake();
    return CRenderedInputPin::Run(tStart);
}

HRESULT CPlaybackPin::Receive(IMediaSample* pSample)
{
    HRESULT hr = CRenderedInputPin::Receive(pSample);
    if (hr != S_OK)
        return hr;
    CAutoLock lock(&m_csReceive);
    if (!WaitUntilRunning())
        return S_FALSE;
    RefreshFaults();
    if (const HRESULT hrRefused = Refusal(); FAILED(hrRefused))
        return hrRefused;
    BYTE* pData = nullptr;
    pSample->GetPointer(&pData);
    const auto cbData = static_cast<std::size_t>(std::max<LONG>(0, pSample->GetActualDataLength()));
    hr = Record(pData, cbData);
    if (FAILED(hr))
    {
        m_bRunTimeError = TRUE;
        m_pDevice->NotifyEvent(EC_ERRORABORT, hr, 0);
        return hr;
    }
    const bool bPlayed = m_monitor.Feed(pData, cbData);
    PublishCounts();
    PostDueEvent();
    return bPlayed ? S_OK : S_FALSE;
}

HRESULT CPlaybackPin::EndOfStream()
{
    {
        CAutoLock lock(&m_csReceive);
        if (m_bRefusing)
            return m_faultPlan.refuseResult; // what was refused was not played: no completion
        if (CheckStreaming() == S_OK)
        {
            m_monitor.EndOfStream();
            PublishCounts();
        }
    }
    return CRenderedInputPin::EndOfStream();
}

HRESULT CPlaybackPin::BeginFlush()
{
    m_gate.Interrupt();
    return CRenderedInputPin::BeginFlush();
}

HRESULT CPlaybackPin::EndFlush()
{
    {
        CAutoLock lock(&m_csReceive);
        m_monitor.Restart();
        m_pacer.Forget();
    }
    m_gate.Resume();
    return CRenderedInputPin::EndFlush();
}

DeviceCounters CPlaybackPin::RunCounts() const
{
    DeviceCounters counts;
    counts.packetsPlayed = m_cPackets;
    counts.picturesPlayed = m_cPictures;
    counts.audioFramesPlayed = m_cAudioFrames;
    counts.violations = m_cViolations;
    counts.bytesPlayed = m_cbPlayed;
    counts.samplesRefused = m_cSamplesRefused;
    counts.playbackEvents = m_cPlaybackEvents;
    return counts;
}

bool CPlaybackPin::WaitUntilRunning()
{
    for (;;)
    {
        FILTER_STATE state = State_Stopped;
        m_pDevice->GetState(0, &state);
        if (state == State_Running)
            return !m_gate.IsInterrupted();
        if (state == State_Stopped || !m_gate.Sleep(kLongestSleep))
            return false;
    }
}

bool CPlaybackPin::PaceTo(const CC3Header& header)
{
    const std::optional<REFERENCE_TIME> due =
        m_pacer.DueTime(header.m_timestamp.m_dSeconds, m_clock.Now());
    for (REFERENCE_TIME now = m_clock.Now(); due && now < *due; now = m_clock.Now())
    {
        const auto wait = std::chrono::nanoseconds((*due - now) * 100);
        if (!m_gate.Sleep(std::min<std::chrono::nanoseconds>(wait, kLongestSleep)) ||
            !WaitUntilRunning())
            return false;
    }
    return true;
}

HRESULT CPlaybackPin::Record(const std::uint8_t* pData, std::size_t cbData)
{
    if (!m_recording.IsOpen() || cbData == 0)
        return S_OK;
    const iovec slice{const_cast<std::uint8_t*>(pData), cbData};
    std::uint64_t cbWritten = 0;
    return HResultFromFileStatus(m_recording.Write({&slice, 1}, cbWritten));
}

void CPlaybackPin::PublishCounts()
{
    const PlaybackCounts& counts = m_monitor.Counts();
    m_cPackets = counts.packets;
    m_cPictures = counts.pictures;
    m_cAudioFrames = counts.audioFrames;
    m_cViolations = counts.violations;
    m_cbPlayed = counts.bytes;
}

void CPlaybackPin::RefreshFaults()
{
    const auto now = std::chrono::steady_clock::now();
    if (now < m_nextFaultRefresh)
        return;
    m_faultPlan = m_pDevice->State().Faults();
    m_nextFaultRefresh = now + kFaultRefreshInterval;
}

// The first refusal is told to the graph, as the failure begins here; upstream
// filters keep it and post nothing more.
HRESULT CPlaybackPin::Refusal()
{
    const HRESULT hrRefused = m_faultPlan.refuseResult;
    if (!FAILED(hrRefused) || m_monitor.Counts().packets < m_faultPlan.refuseAfterPackets)
        return S_OK;
    ++m_cSamplesRefused;
    if (!m_bRefusing)
    {
        m_bRefusing = true;
        m_pDevice->NotifyEvent(EC_ERRORABORT, hrRefused, 0);
    }
    return hrRefused;
}

void CPlaybackPin::PostDueEvent()
{
    const FaultEvent& event = m_faultPlan.playbackEvent;
    if (!event.IsSet() || m_bEventPosted || m_monitor.Counts().packets < event.after)
        return;
    m_bEventPosted = true;
    ++m_cPlaybackEvents;
    NotifyFaultEvent(m_pDevice, event);
}
