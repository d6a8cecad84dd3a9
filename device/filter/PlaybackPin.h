#pragma once
// The device's playback pin: takes a C3 stream pushed to it (MEDIATYPE_Stream with
// any subtype: the stream is recognised by its content) and plays it. Every byte is
// checked as it arrives (C3StreamMonitor); packets are played at their times on the
// stream clock (PlaybackPacer) unless pacing is fast, and nothing plays while the
// filter is paused. With a "RecordFile" configured, what arrives is written there
// byte for byte, straight from the samples (each write reaches the file at once, so
// the recording is complete when the graph completes); a failed write ends the
// playback with EC_ERRORABORT rather than leaving a recording with a gap. End of stream reports
// EC_COMPLETE once the filter runs.
//
// The device's fault plan (read at the start and twice a second while playing) can make
// the pin refuse every sample once so many packets have played, with its HRESULT (the
// first refusal posts EC_ERRORABORT; the end of the stream then reports no completion),
// or post an event once and play on.

#include "PlaybackPacer.h"
#include "StreamClock.h"
#include "StreamGate.h"

#include "C3StreamMonitor.h"
#include "DeviceCounters.h"
#include "FaultPlan.h"
#include "OutputFile.h"

#include "streams.h"

#include <atomic>
#include <chrono>

class CDeviceFilter;

class CPlaybackPin : public CRenderedInputPin
{
public:
    CPlaybackPin(CDeviceFilter* pFilter, CCritSec* pLock, HRESULT* phr);

    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT Active() override;
    HRESULT Inactive() override;
    HRESULT Run(REFERENCE_TIME tStart) override;

    HRESULT Receive(IMediaSample* pSample) override;
    HRESULT ReceiveCanBlock() override { return S_OK; }
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

    // What this run has played so far.
    DeviceCounters RunCounts() const;

private:
    // Waits while the filter is paused; false when streaming stops.
    bool WaitUntilRunning();
    // Waits for the packet's time; false when streaming stops meanwhile.
    bool PaceTo(const CC3Header& header);
    // Writes the bytes to the recording, if one is made.
    HRESULT Record(const std::uint8_t* pData, std::size_t cbData);
    void PublishCounts();
    // The fault plan's part, under the receive lock.
    void RefreshFaults();
    // The refusal for the next sample, S_OK when it is taken.
    HRESULT Refusal();
    void PostDueEvent();

    CDeviceFilter* const m_pDevice;
    CCritSec m_csReceive; // streaming calls; taken after the filter lock
    C3StreamMonitor m_monitor;
    PlaybackPacer m_pacer;
    COutputFile m_recording; // open while a "RecordFile" is recorded
    StreamClock m_clock;
    StreamGate m_gate;
    FaultPlan m_faultPlan;
    std::chrono::steady_clock::time_point m_nextFaultRefresh;
    bool m_bRefusing = false;
    bool m_bEventPosted = false;

    std::atomic<std::uint64_t> m_cPackets{0};
    std::atomic<std::uint64_t> m_cPictures{0};
    std::atomic<std::uint64_t> m_cAudioFrames{0};
    std::atomic<std::uint64_t> m_cViolations{0};
    std::atomic<std::uint64_t> m_cbPlayed{0};
    std::atomic<std::uint64_t> m_cSamplesRefused{0};
    std::atomic<std::uint64_t> m_cPlaybackEvents{0};
};
