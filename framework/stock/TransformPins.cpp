#include "TransformPins.h"

CTransformInputPin::CTransformInputPin(CBaseFilter* pFilter, StockTransform* pTransform,
                                       CTransformOutputPin* pOutput, CCritSec* pLock, HRESULT* phr,
                                       LPCWSTR pName)
    : CBaseInputPin(NAME("Transform input"), pFilter, pLock, phr, pName), m_pTransform(pTransform),
      m_pOutput(pOutput)
{
}

HRESULT CTransformInputPin::CheckMediaType(const CMediaType* pmt)
{
    return m_pTransform->CheckInputType(pmt);
}

HRESULT CTransformInputPin::Receive(IMediaSample* pSample)
{
    const HRESULT hr = CBaseInputPin::Receive(pSample);
    if (hr != S_OK)
        return hr;
    return m_pTransform->ReceiveSample(pSample, *SampleProps());
}

HRESULT CTransformInputPin::EndOfStream()
{
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK)
        return hr;
    return m_pTransform->EndOfInput();
}

HRESULT CTransformInputPin::BeginFlush()
{
    CBaseInputPin::BeginFlush();
    m_pOutput->DeliverBeginFlush();
    return S_OK;
}

HRESULT CTransformInputPin::EndFlush()
{
    m_pTransform->EndFlush();
    m_pOutput->DeliverEndFlush();
    return CBaseInputPin::EndFlush();
}

HRESULT CTransformInputPin::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate)
{
    CBasePin::NewSegment(tStart, tStop, dRate);
    m_pTransform->FlushInput();
    return m_pOutput->DeliverNewSegment(tStart, tStop, dRate);
}

CTransformOutputPin::CTransformOutputPin(CBaseFilter* pFilter, StockTransform* pTransform,
                                         CTransformInputPin* pInput, CCritSec* pLock, HRESULT* phr,
                                         LPCWSTR pName)
    : CBaseOutputPin(NAME("Transform output"), pFilter, pLock, phr, pName),
      m_pTransform(pTransform), m_pInput(pInput), m_Seeking(GetOwner(), pInput)
{
}

HRESULT CTransformOutputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (ppv && SeekingPassThrough::IsSeekingInterface(riid))
        return m_Seeking.QueryInterface(riid, ppv);
    return CBaseOutputPin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CTransformOutputPin::CheckConnect(IPin* pPin)
{
    if (!m_pInput->IsConnected())
        return VFW_E_NOT_CONNECTED;
    return CBaseOutputPin::CheckConnect(pPin);
}

HRESULT CTransformOutputPin::CheckMediaType(const CMediaType* pmt)
{
    if (!m_pInput->IsConnected())
        return VFW_E_NOT_CONNECTED;
    return m_pTransform->CheckOutputType(m_pInput->CurrentMediaType(), pmt);
}

HRESULT CTransformOutputPin::GetMediaType(int iPosition, CMediaType* pmt)
{
    if (iPosition < 0)
        return E_INVALIDARG;
    if (!m_pInput->IsConnected())
        return VFW_S_NO_MORE_ITEMS;
    return m_pTransform->GetOutputType(m_pInput->CurrentMediaType(), iPosition, pmt);
}

HRESULT CTransformOutputPin::DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest)
{
    return m_pTransform->DecideOutputBuffers(pAlloc, pRequest);
}
