#include "CapturePin.h"

#include "AllocatorSizing.h"
#include "DeviceFilter.h"
#include "FaultEvents.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace
{
constexpr LONG kBufferCount = 16;
constexpr LONG kBufferSize = 128 * 1024;
// How long Pause waits for the stream's tail while no sample goes out: a downstream
// that blocks until it stops must not hold the graph's Stop.
constexpr auto kEndRunPatience = std::chrono::milliseconds(500);
// How often a running capture looks for settings changed by another process.
constexpr auto kRefreshInterval = std::chrono::milliseconds(500);
// Longest sleep between two looks at the commands.
constexpr auto kLongestSleep = std::chrono::seconds(1);

void SetProgramStreamType(CMediaType* pmt)
{
    pmt->InitMediaType();
    pmt->SetType(&MEDIATYPE_Stream);
    pmt->SetSubtype(&MEDIASUBTYPE_MPEG2_PROGRAM);
}
} // namespace

CCapturePin::CCapturePin(CDeviceFilter* pFilter, CCritSec* pLock, HRESULT* phr,
                         CaptureSourceFactory factory)
    : CBaseOutputPin(NAME("Capture pin"), pFilter, pLock, phr, L"Capture"), m_pDevice(pFilter),
      m_factory(std::move(factory))
{
}

CCapturePin::~CCapturePin()
{
    Inactive();
}

HRESULT CCapturePin::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IAMDroppedFrames)
        return GetInterface(static_cast<IAMDroppedFrames*>(this), ppv);
    if (riid == IID_IKsPropertySet)
        return GetInterface(static_cast<IKsPropertySet*>(this), ppv);
    return CBaseOutputPin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CCapturePin::CheckMediaType(const CMediaType* pmt)
{
    return *pmt->Type() == MEDIATYPE_Stream && *pmt->Subtype() == MEDIASUBTYPE_MPEG2_PROGRAM
               ? S_OK
               : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CCapturePin::GetMediaType(int iPosition, CMediaType* pmt)
{
    if (iPosition < 0)
        return E_INVALIDARG;
    if (iPosition > 0)
        return VFW_S_NO_MORE_ITEMS;
    SetProgramStreamType(pmt);
    return S_OK;
}

HRESULT CCapturePin::DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest)
{
    return SetAllocatorAtLeast(pAlloc, *pRequest, kBufferCount, kBufferSize);
}

// Streaming starts: the thread waits for Run.
HRESULT CCapturePin::Active()
{
    const HRESULT hr = CBaseOutputPin::Active();
    if (FAILED(hr))
        return hr;
    m_cFramesCaptured = 0;
    m_cFramesDropped = 0;
    m_cbCaptured = 0;
    m_cStalls = 0;
    m_cBitsFlipped = 0;
    m_cPesPacketsCut = 0;
    m_cCaptureStops = 0;
    {
        std::lock_guard lock(m_commandMutex);
        m_command = Command::Idle;
        m_bStopping = false;
    }
    m_gate.Resume();
    m_thread = std::thread([this] { ThreadMain(); });
    return S_OK;
}

HRESULT CCapturePin::Inactive()
{
    {
        std::lock_guard lock(m_commandMutex);
        m_bStopping = true;
    }
    m_commandDone.notify_all();
    m_gate.Interrupt();
    // Decommitting releases a thread waiting for a buffer.
    const HRESULT hr = CBaseOutputPin::Inactive();
    if (m_thread.joinable())
        m_thread.join();
    m_pSource.reset();
    return hr;
}

HRESULT CCapturePin::Run(REFERENCE_TIME tStart)
{
    std::lock_guard lock(m_commandMutex);
    if (m_command != Command::Idle)
        return VFW_E_WRONG_STATE; // the last run's end is still being delivered

    ComPtr<IReferenceClock> pClock;
    m_pDevice->GetSyncSource(&pClock);
    m_clock.Start(pClock.Get(), tStart);
    m_runOrigin = std::max<REFERENCE_TIME>(0, m_clock.Now());
    m_bFirstSample = true;

    DeviceState& state = m_pDevice->State();
    const DeviceSettings settings = state.Settings();
    m_settingsVersion = state.Version();
    m_pPacer = std::make_unique<FramePacer>(
        FramePacer::ForStandard(settings.standard, state.FastPacing()));
    std::string error;
    m_faultPlan = state.Faults();
    m_faults.Start(m_faultPlan);
    m_damage.Start(m_faultPlan.flipBitsEvery, m_faultPlan.cutPesEvery);
    m_pSource = m_factory(
        ToCaptureSettings(settings, state.DeviceName(), state.SourceFile()),
        [this](const std::uint8_t* pData, std::size_t cbData) { return TakeStream(pData, cbData); },
        &error);
    if (!m_pSource)
    {
        PrintFailure("capture cannot start: " + error); // Run fails: the application hears of it
        return E_FAIL;
    }
    if (m_pSource->FrameRateNumerator() > 0 && m_pSource->FrameRateDenominator() > 0)
        *m_pPacer = FramePacer(m_pSource->FrameRateNumerator(), m_pSource->FrameRateDenominator(),
                               state.FastPacing());
    m_command = Command::Stream;
    m_commandDone.notify_all();
    m_gate.Wake();
    return S_OK;
}

void CCapturePin::EndRun()
{
    std::unique_lock lock(m_commandMutex);
    if (m_command != Command::Stream)
        return;
    m_command = Command::End;
    m_commandDone.notify_all();
    m_gate.Wake();
    for (;;)
    {
        const std::uint64_t cDelivered = m_cSamplesDelivered;
        if (m_commandDone.wait_for(lock, kEndRunPatience,
                                   [this] { return m_command == Command::Idle || m_bStopping; }) ||
            m_cSamplesDelivered == cDelivered)
            return;
    }
}

DeviceCounters CCapturePin::RunCounts() const
{
    DeviceCounters counts;
    counts.framesCaptured = m_cFramesCaptured;
    counts.framesDropped = m_cFramesDropped;
    counts.bytesCaptured = m_cbCaptured;
    counts.stalls = m_cStalls;
    counts.bitsFlipped = m_cBitsFlipped;
    counts.pesPacketsCut = m_cPesPacketsCut;
    counts.captureStops = m_cCaptureStops;
    return counts;
}

// The streaming thread.

void CCapturePin::ThreadMain()
{
    while (WaitForCommand())
    {
        Command command;
        {
            std::lock_guard lock(m_commandMutex);
            command = m_command;
        }
        if (command == Command::Stream)
            StreamFrames();
        else
            EndStream();
    }
    if (m_pPending)
    {
        m_pPending->Release();
        m_pPending = nullptr;
    }
}

// Waits for a run; false when streaming stops.
bool CCapturePin::WaitForCommand()
{
    std::unique_lock lock(m_commandMutex);
    m_commandDone.wait(lock, [this] { return m_bStopping || m_command != Command::Idle; });
    return !m_bStopping;
}

bool CCapturePin::IsStreaming()
{
    std::lock_guard lock(m_commandMutex);
    return !m_bStopping && m_command == Command::Stream;
}

void CCapturePin::StreamFrames()
{
    m_nFrame = 0;
    m_bDeliveryFailed = false;
    m_nextRefresh = std::chrono::steady_clock::now() + kRefreshInterval;
    while (IsStreaming())
    {
        ApplyChangedSettings();
        const FramePacer::Step step = m_pPacer->Next(m_nFrame, m_clock.Now() - m_runOrigin);
        if (step.kind == FramePacer::Step::Wait)
            m_gate.Sleep(std::min<std::chrono::nanoseconds>(
                std::chrono::nanoseconds(step.wait * 100), kLongestSleep));
        else if (step.kind == FramePacer::Step::Skip)
            SkipFrame();
        else if (!StreamFrame())
            return;
    }
}

void CCapturePin::ApplyChangedSettings()
{
    DeviceState& state = m_pDevice->State();
    const auto now = std::chrono::steady_clock::now();
    if (now >= m_nextRefresh)
    {
        state.Refresh();
        RefreshFaults();
        m_nextRefresh = now + kRefreshInterval;
    }
    if (state.Version() == m_settingsVersion)
        return;
    const DeviceSettings settings = state.Settings();
    m_settingsVersion = state.Version();
    m_pSource->UpdateSettings(ToCaptureSettings(settings, state.DeviceName(), state.SourceFile()));
}

// A plan changed while the run goes on (by another process, say) applies from the
// next frame.
void CCapturePin::RefreshFaults()
{
    const FaultPlan plan = m_pDevice->State().Faults();
    if (plan == m_faultPlan)
        return;
    m_faults.Update(plan);
    if (plan.flipBitsEvery != m_faultPlan.flipBitsEvery ||
        plan.cutPesEvery != m_faultPlan.cutPesEvery)
        m_damage.Update(plan.flipBitsEvery, plan.cutPesEvery);
    m_faultPlan = plan;
}

bool CCapturePin::StreamFrame()
{
    switch (m_faults.Next(m_pPacer->FrameStart(m_nFrame)))
    {
    case CaptureFaults::Action::Encode:
        return EncodeFrame();
    case CaptureFaults::Action::Drop:
        SkipFrame();
        return true;
    case CaptureFaults::Action::Stall:
        Stall();
        return true;
    case CaptureFaults::Action::Stop:
        StopForFault();
        return false;
    }
    return false;
}

void CCapturePin::SkipFrame()
{
    m_pSource->SkipFrame();
    {
        std::lock_guard lock(m_droppedMutex);
        if (m_cFramesDropped < kDroppedFramesKept)
            m_droppedFrames[m_cFramesDropped] = static_cast<LONG>(m_nFrame);
        ++m_cFramesDropped;
    }
    ++m_nFrame;
}

// False when streaming cannot go on; the run then idles until it ends.
bool CCapturePin::EncodeFrame()
{
    m_bFrameStart = true;
    std::string error;
    const bool bEncoded = m_pSource->EncodeNextFrame(&error) && DeliverPending();
    if (bEncoded)
    {
        ++m_cFramesCaptured;
        ++m_nFrame;
        return true;
    }
    bool bStopping = false;
    {
        std::lock_guard lock(m_commandMutex);
        bStopping = m_bStopping;
    }
    // A stop or a downstream refusal ends the stream quietly; a failing source is
    // reported to the application.
    if (!bStopping && !m_bDeliveryFailed)
    {
        PrintFailure("capture stopped: " + error);
        m_pDevice->NotifyEvent(EC_ERRORABORT, E_FAIL, 0);
        DeliverEndOfStream();
    }
    GoIdle();
    return false;
}

// Nothing goes out meanwhile: the graph hears of the starvation first. A stop, or the
// end of the run, cuts the stall short.
void CCapturePin::Stall()
{
    ++m_cStalls;
    m_pDevice->NotifyEvent(EC_STARVATION, 0, 0);
    const auto until =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(m_faults.StallMilliseconds());
    for (auto now = std::chrono::steady_clock::now(); now < until && IsStreaming();
         now = std::chrono::steady_clock::now())
        m_gate.Sleep(std::min<std::chrono::nanoseconds>(until - now, kLongestSleep));
}

// What the source made of the frames before the stop goes out (what its multiplexer
// still holds does not, as when a device fails); a stop without an error first ends
// the source's stream, as a source that ran out does.
void CCapturePin::StopForFault()
{
    const FaultEvent& event = m_faults.StopEvent();
    ++m_cCaptureStops;
    std::string error;
    if (event.code == EC_COMPLETE && !m_bDeliveryFailed)
        m_pSource->Finish(&error);
    if (DeliverPending())
    {
        NotifyFaultEvent(m_pDevice, event);
        DeliverEndOfStream();
    }
    GoIdle();
}

void CCapturePin::GoIdle()
{
    std::lock_guard lock(m_commandMutex);
    if (m_command == Command::Stream)
    {
        m_pSource.reset();
        m_command = Command::Idle;
    }
    m_commandDone.notify_all();
}

void CCapturePin::EndStream()
{
    std::string error;
    if (m_pSource && !m_bDeliveryFailed && m_pSource->Finish(&error))
        DeliverPending();
    std::lock_guard lock(m_commandMutex);
    m_pSource.reset();
    m_command = Command::Idle;
    m_commandDone.notify_all();
}

// The source says why it failed only in words; they go where a user sees them.
void CCapturePin::PrintFailure(const std::string& reason)
{
    std::fprintf(stderr, "%s: %s\n", m_pDevice->State().DeviceName().c_str(), reason.c_str());
}

bool CCapturePin::TakeStream(const std::uint8_t* pData, std::size_t cbData)
{
    bool bTaken = true;
    while (cbData > 0 && bTaken)
    {
        const StreamDamage::Piece piece = m_damage.Next(pData, cbData);
        if (piece.kind == StreamDamage::Piece::Keep)
            bTaken = TakeBytes(pData, piece.length);
        else if (piece.kind == StreamDamage::Piece::Flip)
        {
            const std::uint8_t flipped = pData[0] ^ piece.mask;
            bTaken = TakeBytes(&flipped, 1);
        }
        pData += piece.length;
        cbData -= piece.length;
    }
    m_cBitsFlipped = m_damage.BitsFlipped();
    m_cPesPacketsCut = m_damage.PacketsCut();
    return bTaken;
}

bool CCapturePin::TakeBytes(const std::uint8_t* pData, std::size_t cbData)
{
    while (cbData > 0 && !m_bDeliveryFailed)
    {
        if (!m_pPending)
        {
            if (FAILED(GetDeliveryBuffer(&m_pPending, nullptr, nullptr, 0)))
                return false;
            m_pPending->SetActualDataLength(0);
        }
        BYTE* pBuffer = nullptr;
        m_pPending->GetPointer(&pBuffer);
        const auto cbFilled = static_cast<std::size_t>(m_pPending->GetActualDataLength());
        const auto cbRoom = static_cast<std::size_t>(m_pPending->GetSize()) - cbFilled;
        const std::size_t cbTaken = std::min(cbRoom, cbData);
        std::memcpy(pBuffer + cbFilled, pData, cbTaken);
        m_pPending->SetActualDataLength(static_cast<LONG>(cbFilled + cbTaken));
        pData += cbTaken;
        cbData -= cbTaken;
        if (cbTaken == cbRoom && !DeliverPending())
            return false;
    }
    return !m_bDeliveryFailed;
}

// Delivers the sample being filled, stamped with the current frame's span.
bool CCapturePin::DeliverPending()
{
    if (!m_pPending)
        return !m_bDeliveryFailed;
    IMediaSample* pSample = std::exchange(m_pPending, nullptr);
    REFERENCE_TIME tStart = m_runOrigin + m_pPacer->FrameStart(m_nFrame);
    REFERENCE_TIME tStop = m_runOrigin + m_pPacer->FrameStart(m_nFrame + 1);
    pSample->SetTime(&tStart, &tStop);
    pSample->SetSyncPoint(m_bFrameStart);
    pSample->SetDiscontinuity(m_bFirstSample);
    const LONG cbData = pSample->GetActualDataLength();
    const HRESULT hr = Deliver(pSample);
    pSample->Release();
    m_bFrameStart = false;
    m_bFirstSample = false;
    if (hr != S_OK)
    {
        m_bDeliveryFailed = true;
        return false;
    }
    m_cbCaptured += static_cast<std::uint64_t>(cbData);
    ++m_cSamplesDelivered;
    return true;
}

// IAMDroppedFrames

HRESULT CCapturePin::GetNumDropped(LONG* plDropped)
{
    if (!plDropped)
        return E_POINTER;
    *plDropped = static_cast<LONG>(m_cFramesDropped.load());
    return S_OK;
}

HRESULT CCapturePin::GetNumNotDropped(LONG* plNotDropped)
{
    if (!plNotDropped)
        return E_POINTER;
    *plNotDropped = static_cast<LONG>(m_cFramesCaptured.load());
    return S_OK;
}

HRESULT CCapturePin::GetDroppedInfo(LONG lSize, LONG* plArray, LONG* plNumCopied)
{
    if (!plArray || !plNumCopied)
        return E_POINTER;
    if (lSize <= 0)
        return E_INVALIDARG;
    std::lock_guard lock(m_droppedMutex);
    const auto cKept = std::min<std::uint64_t>(m_cFramesDropped, kDroppedFramesKept);
    const auto cCopied = static_cast<LONG>(std::min<std::uint64_t>(cKept, std::uint64_t(lSize)));
    std::copy_n(m_droppedFrames.begin(), cCopied, plArray);
    *plNumCopied = cCopied;
    return S_OK;
}

HRESULT CCapturePin::GetAverageFrameSize(LONG* plAverageSize)
{
    if (!plAverageSize)
        return E_POINTER;
    const std::uint64_t cFrames = m_cFramesCaptured;
    *plAverageSize = cFrames == 0 ? 0 : static_cast<LONG>(m_cbCaptured / cFrames);
    return S_OK;
}

// IKsPropertySet

HRESULT CCapturePin::Set(REFGUID guidPropSet, DWORD, LPVOID, DWORD, LPVOID, DWORD)
{
    if (guidPropSet != AMPROPSETID_Pin)
        return E_PROP_SET_UNSUPPORTED;
    return E_PROP_ID_UNSUPPORTED; // the category is read only
}

HRESULT CCapturePin::Get(REFGUID guidPropSet, DWORD dwPropID, LPVOID, DWORD, LPVOID pPropData,
                         DWORD cbPropData, DWORD* pcbReturned)
{
    if (guidPropSet != AMPROPSETID_Pin)
        return E_PROP_SET_UNSUPPORTED;
    if (dwPropID != AMPROPERTY_PIN_CATEGORY)
        return E_PROP_ID_UNSUPPORTED;
    if (pcbReturned)
        *pcbReturned = sizeof(GUID);
    if (!pPropData || cbPropData < sizeof(GUID))
        return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(pPropData, &PIN_CATEGORY_CAPTURE, sizeof(GUID));
    return S_OK;
}

HRESULT CCapturePin::QuerySupported(REFGUID guidPropSet, DWORD dwPropID, DWORD* pTypeSupport)
{
    if (!pTypeSupport)
        return E_POINTER;
    if (guidPropSet != AMPROPSETID_Pin)
        return E_PROP_SET_UNSUPPORTED;
    if (dwPropID != AMPROPERTY_PIN_CATEGORY)
        return E_PROP_ID_UNSUPPORTED;
    *pTypeSupport = KSPROPERTY_SUPPORT_GET;
    return S_OK;
}
