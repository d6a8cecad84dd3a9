#include "PcmTransformPins.h"

#include "PcmTransformFilter.h"

CPcmTransformInputPin::CPcmTransformInputPin(CPcmTransformFilter* pFilter, CCritSec* pLock,
                                             HRESULT* phr)
    : CBaseInputPin(NAME("PCM transform input"), pFilter, pLock, phr, L"Input"),
      m_pTransform(pFilter)
{
}

HRESULT CPcmTransformInputPin::CheckMediaType(const CMediaType* pmt)
{
    return m_pTransform->CheckInputType(pmt);
}

HRESULT CPcmTransformInputPin::Receive(IMediaSample* pSample)
{
    const HRESULT hr = CBaseInputPin::Receive(pSample);
    if (hr != S_OK)
        return hr;
    return m_pTransform->ReceiveSample(pSample, *SampleProps());
}

HRESULT CPcmTransformInputPin::EndOfStream()
{
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK)
        return hr;
    return m_pTransform->EndOfInput();
}

HRESULT CPcmTransformInputPin::BeginFlush()
{
    CBaseInputPin::BeginFlush();
    m_pTransform->OutputPin()->DeliverBeginFlush();
    return S_OK;
}

HRESULT CPcmTransformInputPin::EndFlush()
{
    m_pTransform->EndFlush();
    m_pTransform->OutputPin()->DeliverEndFlush();
    return CBaseInputPin::EndFlush();
}

HRESULT CPcmTransformInputPin::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate)
{
    CBasePin::NewSegment(tStart, tStop, dRate);
    m_pTransform->FlushInput();
    return m_pTransform->OutputPin()->DeliverNewSegment(tStart, tStop, dRate);
}

CPcmTransformOutputPin::CPcmTransformOutputPin(CPcmTransformFilter* pFilter, CCritSec* pLock,
                                               HRESULT* phr)
    : CBaseOutputPin(NAME("PCM transform output"), pFilter, pLock, phr, L"Output"),
      m_pTransform(pFilter), m_Seeking(GetOwner(), pFilter->InputPin())
{
}

HRESULT CPcmTransformOutputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (ppv && SeekingPassThrough::IsSeekingInterface(riid))
        return m_Seeking.QueryInterface(riid, ppv);
    return CBaseOutputPin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CPcmTransformOutputPin::CheckConnect(IPin* pPin)
{
    if (!m_pTransform->InputPin()->IsConnected())
        return VFW_E_NOT_CONNECTED;
    return CBaseOutputPin::CheckConnect(pPin);
}

HRESULT CPcmTransformOutputPin::CheckMediaType(const CMediaType* pmt)
{
    const CPcmTransformInputPin* pInput = m_pTransform->InputPin();
    if (!pInput->IsConnected())
        return VFW_E_NOT_CONNECTED;
    return m_pTransform->CheckOutputType(pInput->CurrentMediaType(), pmt);
}

HRESULT CPcmTransformOutputPin::GetMediaType(int iPosition, CMediaType* pmt)
{
    const CPcmTransformInputPin* pInput = m_pTransform->InputPin();
    if (iPosition < 0)
        return E_INVALIDARG;
    if (!pInput->IsConnected())
        return VFW_S_NO_MORE_ITEMS;
    return m_pTransform->GetOutputType(pInput->CurrentMediaType(), iPosition, pmt);
}

HRESULT CPcmTransformOutputPin::DecideBufferSize(IMemAllocator* pAlloc,
                                                 ALLOCATOR_PROPERTIES* pRequest)
{
    return m_pTransform->DecideOutputBuffers(pAlloc, pRequest);
}
