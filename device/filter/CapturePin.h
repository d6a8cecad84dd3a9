#pragma once
// The device's capture pin (PIN_CATEGORY_CAPTURE): a live MPEG-2 program stream,
// MEDIATYPE_Stream / MEDIASUBTYPE_MPEG2_PROGRAM.
//
// Each run gets a fresh capture source, made with the settings of that moment, so
// settings that cannot change inside a stream apply at the next run. A thread of
// the pin's own asks the source for one frame at a time, paced on the stream clock
// (FramePacer), and copies the program stream into media samples once, stamped with
// the frame's stream time. Frames it falls too far behind for are skipped and
// counted as dropped (IAMDroppedFrames). While running, changed settings reach the
// source before the next frame; changes made by another process are looked for
// twice a second.
//
// Leaving Running (Pause) ends the source's stream: what its multiplexer still
// holds and the end code are delivered before Pause returns, while the downstream
// filters still take samples, so a capture file ends cleanly. Pause waits as long
// as samples keep going out, and gives up after half a second without one (a
// downstream that blocks until it stops). Stop interrupts the thread wherever it
// waits and joins it.
//
// The device's fault plan (read at Run and with the settings while running) can make
// the pin drop frames or stall once a second into the run (CaptureFaults), damage its
// stream (StreamDamage), or stop: what the source made of the frames before is
// delivered, the plan's event posted and the stream ended (a stop without an error
// first ends the source's stream as Pause does). Every fault is counted.

#include "CaptureFaults.h"
#include "CaptureSourceFactory.h"
#include "FramePacer.h"
#include "StreamClock.h"
#include "StreamDamage.h"
#include "StreamGate.h"

#include "DeviceCounters.h"

#include "streams.h"

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

class CDeviceFilter;

class CCapturePin : public CBaseOutputPin, public IAMDroppedFrames, public IKsPropertySet
{
public:
    CCapturePin(CDeviceFilter* pFilter, CCritSec* pLock, HRESULT* phr,
                CaptureSourceFactory factory);
    ~CCapturePin() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT GetMediaType(int iPosition, CMediaType* pmt) override;
    HRESULT DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest) override;

    HRESULT Active() override;
    HRESULT Inactive() override;
    HRESULT Run(REFERENCE_TIME tStart) override;
    // Running to Paused: ends the source's stream and delivers its tail.
    void EndRun();

    // What this run has captured so far.
    DeviceCounters RunCounts() const;

    // IAMDroppedFrames
    HRESULT GetNumDropped(LONG* plDropped) override;
    HRESULT GetNumNotDropped(LONG* plNotDropped) override;
    HRESULT GetDroppedInfo(LONG lSize, LONG* plArray, LONG* plNumCopied) override;
    HRESULT GetAverageFrameSize(LONG* plAverageSize) override;

    // IKsPropertySet: AMPROPSETID_Pin / AMPROPERTY_PIN_CATEGORY, read only.
    HRESULT Set(REFGUID guidPropSet, DWORD dwPropID, LPVOID pInstanceData, DWORD cbInstanceData,
                LPVOID pPropData, DWORD cbPropData) override;
    HRESULT Get(REFGUID guidPropSet, DWORD dwPropID, LPVOID pInstanceData, DWORD cbInstanceData,
                LPVOID pPropData, DWORD cbPropData, DWORD* pcbReturned) override;
    HRESULT QuerySupported(REFGUID guidPropSet, DWORD dwPropID, DWORD* pTypeSupport) override;

private:
    enum class Command
    {
        Idle,   // paused or stopped: no source
        Stream, // running
        End,    // EndRun asked for the stream's end
    };

    void ThreadMain();
    void StreamFrames();
    bool WaitForCommand();
    bool IsStreaming();
    void ApplyChangedSettings();
    void RefreshFaults();
    // One frame as the fault plan has it; false when streaming cannot go on.
    bool StreamFrame();
    void SkipFrame();
    bool EncodeFrame();
    void Stall();
    void StopForFault();
    // The run idles until it ends: the source is gone.
    void GoIdle();
    void EndStream();
    void PrintFailure(const std::string& reason);

    // The source's byte sink: damages the stream as the plan says and takes it.
    bool TakeStream(const std::uint8_t* pData, std::size_t cbData);
    // Fills samples and delivers each one that is full.
    bool TakeBytes(const std::uint8_t* pData, std::size_t cbData);
    bool DeliverPending();

    CDeviceFilter* const m_pDevice;
    const CaptureSourceFactory m_factory;

    std::thread m_thread;
    StreamGate m_gate;
    StreamClock m_clock;
    std::mutex m_commandMutex; // guards m_command and m_pSource hand-over
    std::condition_variable m_commandDone;
    Command m_command = Command::Idle;
    std::unique_ptr<CaptureSource> m_pSource;
    REFERENCE_TIME m_runOrigin = 0; // stream time at which the run's frame 0 starts
    bool m_bStopping = false;

    // Streaming thread only (and Run, while the thread waits for it).
    std::unique_ptr<FramePacer> m_pPacer;
    FaultPlan m_faultPlan;
    CaptureFaults m_faults;
    StreamDamage m_damage;
    std::int64_t m_nFrame = 0;
    std::uint64_t m_settingsVersion = 0;
    std::chrono::steady_clock::time_point m_nextRefresh;
    IMediaSample* m_pPending = nullptr; // the sample being filled
    bool m_bFirstSample = true;
    bool m_bFrameStart = true;
    bool m_bDeliveryFailed = false;

    // Counters, read by the application thread.
    std::atomic<std::uint64_t> m_cFramesCaptured{0};
    std::atomic<std::uint64_t> m_cFramesDropped{0};
    std::atomic<std::uint64_t> m_cbCaptured{0};
    std::atomic<std::uint64_t> m_cSamplesDelivered{0}; // progress, for EndRun
    std::atomic<std::uint64_t> m_cStalls{0};
    std::atomic<std::uint64_t> m_cBitsFlipped{0};
    std::atomic<std::uint64_t> m_cPesPacketsCut{0};
    std::atomic<std::uint64_t> m_cCaptureStops{0};
    static constexpr std::size_t kDroppedFramesKept = 256;
    std::mutex m_droppedMutex;
    std::array<LONG, kDroppedFramesKept> m_droppedFrames{};
};
