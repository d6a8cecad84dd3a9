#include "OstrelMuxerFilter.h"

#include "AudioInputPin.h"
#include "OstrelMediaTypesUUIDS.h"
#include "OstrelMuxerUUIDS.h"
#include "OutputPin.h"
#include "VideoInputPin.h"

#include <new>

namespace
{
constexpr uint32_t kWaitForever = UINT32_MAX;
constexpr LONG kMinOutputBuffer = 614400;
constexpr LONG kMinOutputBuffers = 2;
} // namespace

CUnknown* OstrelMuxerFilter::CreateInstance(LPUNKNOWN pUnk, HRESULT* phr)
{
    auto* pFilter = new (std::nothrow) OstrelMuxerFilter(pUnk, phr);
    if (!pFilter && phr)
        *phr = E_OUTOFMEMORY;
    return pFilter;
}

OstrelMuxerFilter::OstrelMuxerFilter(LPUNKNOWN pUnk, HRESULT* phr)
    : CBaseFilter(nullptr, pUnk, &m_csFilter, CLSID_OstrelMuxer)
{
    HRESULT hr = CreatePins();
    if (FAILED(hr) && phr)
        *phr = hr;
}

// Samples still queued (the filter was never stopped) go back to their allocator before
// the pins that negotiated it go away.
OstrelMuxerFilter::~OstrelMuxerFilter()
{
    ReleaseQueued();
    delete m_pAudioPin;
    delete m_pVideoPin;
    delete m_pOutputPin;
}

// Pins are created audio, output, video; the first that fails stops the rest and its
// pointer stays null, so the filter stands with fewer pins.
HRESULT OstrelMuxerFilter::CreatePins()
{
    HRESULT hr = S_OK;
    auto create = [&hr]<class TPin>(TPin*& pPin, OstrelMuxerFilter* pFilter)
    {
        if (FAILED(hr))
            return;
        pPin = new (std::nothrow) TPin(pFilter, &pFilter->m_csFilter, &hr);
        if (!pPin)
            hr = E_OUTOFMEMORY;
        else if (FAILED(hr))
        {
            delete pPin;
            pPin = nullptr;
        }
    };
    create(m_pAudioPin, this);
    create(m_pOutputPin, this);
    create(m_pVideoPin, this);
    return hr;
}

int OstrelMuxerFilter::GetPinCount()
{
    return (m_pVideoPin ? 1 : 0) + (m_pAudioPin ? 1 : 0) + (m_pOutputPin ? 1 : 0);
}

CBasePin* OstrelMuxerFilter::GetPin(int n)
{
    switch (n)
    {
    case 0:
        return m_pVideoPin;
    case 1:
        return m_pAudioPin;
    case 2:
        return m_pOutputPin;
    default:
        return nullptr;
    }
}

bool OstrelMuxerFilter::IsOutputConnected() const
{
    return m_pOutputPin && m_pOutputPin->IsConnected();
}

bool OstrelMuxerFilter::IsAnyInputConnected() const
{
    return (m_pVideoPin && m_pVideoPin->IsConnected()) ||
           (m_pAudioPin && m_pAudioPin->IsConnected());
}

bool OstrelMuxerFilter::IsInputDone(const MuxerInputPin* pPin) const
{
    return !pPin || !pPin->IsConnected() || pPin->IsAtEndOfStream();
}

void OstrelMuxerFilter::ReleaseQueued()
{
    m_OpenQueue.Flush();
    m_ReadyQueue.Flush();
    m_bPacketOpen = false;
    m_nAudioDueBeforeEnd = 0;
}

// Stop cancels the gates first, in every case, so that no upstream thread is left
// waiting for a turn that will not come; the cancellation lasts until the next Pause.
HRESULT OstrelMuxerFilter::Stop()
{
    CAutoLock lock(&m_csFilter);
    if (IsStopped())
        return S_OK;
    m_AudioCounter.CancelWait();
    if (!IsAnyInputConnected() || !IsOutputConnected())
    {
        m_State = State_Stopped;
        m_bEosSent = false;
        return S_OK;
    }
    if (m_pAudioPin)
        m_pAudioPin->Inactive();
    if (m_pVideoPin)
        m_pVideoPin->Inactive();

    CAutoLock receiveLock(&m_csReceive);
    m_pOutputPin->Inactive();
    ReleaseQueued();
    m_State = State_Stopped;
    m_bEosSent = false;
    m_bBeginFlushSent = false;
    m_bEndFlushSent = false;
    return S_OK;
}

// Streaming starts with a video sample: leaving Stopped, the counter is set as if the
// audio of a packet were complete. Only that transition sets it; a change from Running
// while samples are being muxed would put the counter out of step with the turns.
HRESULT OstrelMuxerFilter::Pause()
{
    CAutoLock lock(&m_csFilter);
    if (m_State == State_Paused)
        return S_OK;
    if (IsStopped())
    {
        m_AudioCounter.Set(m_nAudioPerVideo);
        m_AudioCounter.Rearm();
        m_Failure.Reset();
    }
    if (!IsAnyInputConnected())
    {
        if (m_pOutputPin && !m_bEosSent)
        {
            m_pOutputPin->DeliverEndOfStream();
            m_bEosSent = true;
        }
        m_State = State_Paused;
        return S_OK;
    }
    if (!IsOutputConnected())
    {
        m_State = State_Paused;
        return S_OK;
    }
    return CBaseFilter::Pause();
}

// The gates. A wait ends when the turn comes, or when it is cancelled; a cancelled video
// wait still passes when the audio input has just ended, so the video sample that was
// waiting for audio that will never come is muxed rather than lost.
bool OstrelMuxerFilter::CanReceiveVideo()
{
    if (IsStopped())
        return false;
    if (IsInputDone(m_pAudioPin))
        return true;
    return m_AudioCounter.WaitEqual(m_nAudioPerVideo, kWaitForever) || IsInputDone(m_pAudioPin);
}

bool OstrelMuxerFilter::CanReceiveAudio()
{
    if (IsStopped())
        return false;
    if (IsInputDone(m_pVideoPin))
        return true;
    return m_AudioCounter.WaitBelow(m_nAudioPerVideo, kWaitForever);
}

// The counter moves whatever the muxing gave, so the turn order goes on after a sample
// that could not be muxed. The other input is woken by PassTurn, once the receive lock
// is free.
HRESULT OstrelMuxerFilter::OnVideoSample(IMediaSample* pSample)
{
    const HRESULT hr = DeliverMuxed(MuxVideo(pSample));
    m_AudioCounter.Set(0, false);
    return hr;
}

HRESULT OstrelMuxerFilter::OnAudioSample(IMediaSample* pSample)
{
    const HRESULT hr = DeliverMuxed(MuxAudio(pSample));
    m_AudioCounter.Add(1, false);
    if (m_nAudioDueBeforeEnd > 0 && --m_nAudioDueBeforeEnd == 0)
        EndStream();
    return hr;
}

// End of stream goes downstream once per stream, when the video input has ended (or is
// not connected), behind everything muxed, the open output sample included. An audio
// input that ends first lets the video still coming be muxed, without audio, so no
// sample can follow end of stream. When the video ends first, its last packet still gets
// the audio units that belong to it: end of stream then waits for them or for the end of
// the audio.
HRESULT OstrelMuxerFilter::OnEndOfStream()
{
    if (!m_pOutputPin)
        return S_OK;
    HRESULT hr = S_OK;
    if (IsInputDone(m_pVideoPin))
    {
        const uint32_t nMuxed = m_AudioCounter.Get();
        if (IsAudioStillComing() && m_bPacketOpen && nMuxed < m_nAudioPerVideo)
            m_nAudioDueBeforeEnd = m_nAudioPerVideo - nMuxed;
        else
            hr = EndStream();
    }
    if (m_pAudioPin && m_pAudioPin->IsAtEndOfStream())
        m_AudioCounter.CancelWait();
    if (m_pVideoPin && m_pVideoPin->IsAtEndOfStream())
        m_AudioCounter.Set(0);
    return hr;
}

bool OstrelMuxerFilter::IsAudioStillComing() const
{
    return !IsInputDone(m_pAudioPin);
}

HRESULT OstrelMuxerFilter::EndStream()
{
    m_nAudioDueBeforeEnd = 0;
    if (m_bEosSent)
        return S_OK;
    DeliverOpenSample();
    m_bEosSent = true;
    return m_pOutputPin->DeliverEndOfStream();
}

// Downstream is told first, so that a streaming thread blocked in delivery returns and
// gives up the receive lock; then the queued samples are dropped under that lock.
HRESULT OstrelMuxerFilter::OnBeginFlush()
{
    if (!m_pOutputPin)
        return S_OK;
    m_AudioCounter.CancelWait();
    HRESULT hr = S_OK;
    if (!m_bBeginFlushSent)
    {
        hr = m_pOutputPin->DeliverBeginFlush();
        m_bBeginFlushSent = true;
    }
    CAutoLock lock(&m_csReceive);
    ReleaseQueued();
    m_bEosSent = false;
    return hr;
}

HRESULT OstrelMuxerFilter::OnEndFlush()
{
    m_AudioCounter.Rearm();
    m_Failure.Reset();
    if (m_bEndFlushSent || !m_pOutputPin)
        return S_OK;
    m_bEndFlushSent = true;
    return m_pOutputPin->DeliverEndFlush();
}

// Under the receive lock, so that Stop cannot take the output queue away meanwhile.
HRESULT OstrelMuxerFilter::OnNewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate)
{
    CAutoLock lock(&m_csReceive);
    return m_pOutputPin ? m_pOutputPin->DeliverNewSegment(tStart, tStop, dRate) : S_OK;
}

HRESULT OstrelMuxerFilter::CheckOutputType(const CMediaType* pmt) const
{
    const bool bMatch = *pmt->Type() == MEDIATYPE_Stream &&
                        *pmt->Subtype() == MEDIASUBTYPE_C3Stream &&
                        *pmt->FormatType() == FORMAT_C3Stream;
    return bMatch ? S_OK : S_FALSE;
}

// The stored type always carries the one-byte format block, whatever block the
// connection brought, so that the format byte can be stamped on every output sample.
HRESULT OstrelMuxerFilter::SetOutputType(const CMediaType* pmt)
{
    CAutoLock lock(&m_csReceive);
    HRESULT hr = m_mtOut.Set(*pmt);
    if (FAILED(hr))
        return hr;
    if (m_mtOut.FormatLength() != 1 && !m_mtOut.SetFormat(&m_bFormatByte, 1))
        return E_OUTOFMEMORY;
    return S_OK;
}

HRESULT OstrelMuxerFilter::GetOutputType(int iPosition, CMediaType* pmt)
{
    if (iPosition != 0)
        return S_FALSE;
    CAutoLock lock(&m_csReceive);
    pmt->InitMediaType();
    pmt->SetType(&MEDIATYPE_Stream);
    pmt->SetSubtype(&MEDIASUBTYPE_C3Stream);
    pmt->SetVariableSize();
    pmt->SetTemporalCompression(TRUE);
    pmt->SetFormatType(&FORMAT_C3Stream);
    return pmt->SetFormat(&m_bFormatByte, 1) ? S_OK : E_OUTOFMEMORY;
}

HRESULT OstrelMuxerFilter::DecideOutputBuffers(IMemAllocator* pAllocator,
                                               ALLOCATOR_PROPERTIES* pRequest)
{
    if (static_cast<ULONG>(pRequest->cbBuffer) < static_cast<ULONG>(kMinOutputBuffer))
        pRequest->cbBuffer = kMinOutputBuffer;
    if (static_cast<ULONG>(pRequest->cBuffers) < static_cast<ULONG>(kMinOutputBuffers))
        pRequest->cBuffers = kMinOutputBuffers;
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT hr = pAllocator->SetProperties(pRequest, &actual);
    if (FAILED(hr))
        return hr;
    const bool bShort =
        actual.cBuffers < pRequest->cBuffers || actual.cbBuffer < pRequest->cbBuffer;
    *pRequest = actual;
    return bShort ? E_FAIL : S_OK;
}
