#include "ZentraxFilter.h"

#include "AudioInputPin.h"
#include "AudioOutputPin.h"
#include "VideoInputPin.h"
#include "VideoOutputPin.h"
#include "ZentraxUUIDS.h"

#include <new>

namespace
{
constexpr int kPinCount = 4;

// Creates one pin; false when it could not be made, with the reason in *phr.
template <class TPin>
bool CreatePin(TPin*& pPin, ZentraxFilter* pFilter, CCritSec* pLock, HRESULT* phr)
{
    pPin = new (std::nothrow) TPin(pFilter, pLock, phr);
    if (!pPin)
    {
        *phr = E_OUTOFMEMORY;
        return false;
    }
    if (FAILED(*phr))
    {
        delete pPin;
        pPin = nullptr;
        return false;
    }
    return true;
}

bool IsConnected(const CBasePin* pPin)
{
    return pPin && pPin->IsConnected();
}
} // namespace

CUnknown* ZentraxFilter::CreateInstance(LPUNKNOWN pUnk, HRESULT* phr)
{
    CUnknown* pFilter = new (std::nothrow) ZentraxFilter(pUnk, phr);
    if (!pFilter && phr)
        *phr = E_OUTOFMEMORY;
    return pFilter;
}

ZentraxFilter::ZentraxFilter(LPUNKNOWN pUnk, HRESULT* phr)
    : CBaseFilter(nullptr, pUnk, &m_csFilter, CLSID_Zentrax)
{
    const HRESULT hr = CreatePins();
    if (phr && FAILED(hr))
        *phr = hr;
}

HRESULT ZentraxFilter::CreatePins()
{
    HRESULT hr = S_OK;
    if (CreatePin(m_pAudioInPin, this, &m_csFilter, &hr) &&
        CreatePin(m_pAudioOutPin, this, &m_csFilter, &hr) &&
        CreatePin(m_pVideoOutPin, this, &m_csFilter, &hr) &&
        CreatePin(m_pVideoInPin, this, &m_csFilter, &hr))
    {
        m_AudioPath.SetOutputPin(m_pAudioOutPin);
        m_VideoPath.SetOutputPin(m_pVideoOutPin);
    }
    return hr;
}

ZentraxFilter::~ZentraxFilter()
{
    delete m_pAudioInPin;
    delete m_pAudioOutPin;
    delete m_pVideoInPin;
    delete m_pVideoOutPin;
}

int ZentraxFilter::GetPinCount()
{
    const CBasePin* pins[] = {m_pAudioInPin, m_pAudioOutPin, m_pVideoInPin, m_pVideoOutPin};
    int cPins = 0;
    for (const CBasePin* pPin : pins)
        cPins += pPin ? 1 : 0;
    return cPins;
}

CBasePin* ZentraxFilter::GetPin(int n)
{
    CBasePin* pins[kPinCount] = {m_pAudioInPin, m_pAudioOutPin, m_pVideoInPin, m_pVideoOutPin};
    return n >= 0 && n < kPinCount ? pins[n] : nullptr;
}

bool ZentraxFilter::IsAudioConnected() const
{
    return IsConnected(m_pAudioInPin) && IsConnected(m_pAudioOutPin);
}

bool ZentraxFilter::IsVideoConnected() const
{
    return IsConnected(m_pVideoInPin) && IsConnected(m_pVideoOutPin);
}

// The gate is closed first, so that an audio thread waiting there returns; the output
// allocators are decommitted before the receive locks are taken, so that a streaming thread
// waiting for a buffer returns and lets its lock go.
HRESULT ZentraxFilter::Stop()
{
    CAutoLock lock(&m_csFilter);
    if (m_State == State_Stopped)
        return S_OK;
    m_Gate.Stop();
    if (IsAudioConnected() || IsVideoConnected())
    {
        for (ZentraxInputPin* pInput : {static_cast<ZentraxInputPin*>(m_pAudioInPin),
                                        static_cast<ZentraxInputPin*>(m_pVideoInPin)})
            if (IsConnected(pInput))
                pInput->Inactive();
        for (ZentraxOutputPin* pOutput : {static_cast<ZentraxOutputPin*>(m_pAudioOutPin),
                                          static_cast<ZentraxOutputPin*>(m_pVideoOutPin)})
            if (IsConnected(pOutput))
                pOutput->ReleaseBufferWaiters();

        CAutoLock audioLock(&m_csAudioReceive);
        if (IsConnected(m_pAudioOutPin))
            m_pAudioOutPin->Inactive();
        CAutoLock videoLock(&m_csVideoReceive);
        if (IsConnected(m_pVideoOutPin))
            m_pVideoOutPin->Inactive();

        m_AudioPath.Restart();
        m_VideoPath.Restart();
        m_AudioPath.Flush();
        m_VideoPath.Flush();
    }
    m_State = State_Stopped;
    m_bAudioEosSent = false;
    m_bVideoEosSent = false;
    return S_OK;
}

HRESULT ZentraxFilter::Pause()
{
    CAutoLock lock(&m_csFilter);
    if (m_State == State_Paused)
        return S_OK;
    const bool bWasStopped = m_State == State_Stopped;
    SendEndOfStreamForUnconnected();

    HRESULT hr = S_OK;
    if (m_pAudioOutPin && m_pVideoOutPin && !IsConnected(m_pAudioOutPin) &&
        !IsConnected(m_pVideoOutPin))
        m_State = State_Paused;
    else
        hr = CBaseFilter::Pause();
    if (SUCCEEDED(hr) && bWasStopped)
    {
        m_Failure.Reset();
        m_Gate.Start();
    }
    return hr;
}

void ZentraxFilter::RestartStream()
{
    m_Failure.Reset();
    m_Gate.SetFailed(false);
}

void ZentraxFilter::SendEndOfStreamForUnconnected()
{
    if (!IsConnected(m_pAudioInPin) && !m_bAudioEosSent)
    {
        if (m_pAudioOutPin)
            m_pAudioOutPin->DeliverEndOfStream();
        m_bAudioEosSent = true;
    }
    if (!IsConnected(m_pVideoInPin) && !m_bVideoEosSent)
    {
        if (m_pVideoOutPin)
            m_pVideoOutPin->DeliverEndOfStream();
        m_bVideoEosSent = true;
    }
}
