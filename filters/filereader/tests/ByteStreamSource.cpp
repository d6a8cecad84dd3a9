#include "ByteStreamSource.h"

#include <algorithm>
#include <cstring>

CByteStreamSource::COutputPin::COutputPin(CByteStreamSource* pFilter, HRESULT* phr)
    : CBaseOutputPin(NAME("Byte stream output"), pFilter, &pFilter->m_csFilter, phr, L"Output")
{
}

HRESULT CByteStreamSource::COutputPin::CheckMediaType(const CMediaType* pmt)
{
    return *pmt->Type() == MEDIATYPE_Stream ? S_OK : S_FALSE;
}

HRESULT CByteStreamSource::COutputPin::GetMediaType(int iPosition, CMediaType* pmt)
{
    if (iPosition != 0)
        return VFW_S_NO_MORE_ITEMS;
    pmt->InitMediaType();
    pmt->SetType(&MEDIATYPE_Stream);
    pmt->SetSubtype(&MEDIASUBTYPE_MPEG2_PROGRAM);
    return S_OK;
}

HRESULT CByteStreamSource::COutputPin::DecideBufferSize(IMemAllocator* pAlloc,
                                                        ALLOCATOR_PROPERTIES* pRequest)
{
    ALLOCATOR_PROPERTIES want = *pRequest;
    want.cBuffers = std::max<LONG>(want.cBuffers, 4);
    want.cbBuffer = std::max<LONG>(want.cbBuffer, kMaxSampleBytes);
    want.cbAlign = std::max<LONG>(want.cbAlign, 1);
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT hr = pAlloc->SetProperties(&want, &actual);
    if (FAILED(hr))
        return hr;
    return actual.cbBuffer < kMaxSampleBytes ? E_FAIL : S_OK;
}

CByteStreamSource::CByteStreamSource(HRESULT* phr)
    : CBaseFilter(NAME("Byte stream source"), nullptr, &m_csFilter, GUID_NULL), m_Pin(this, phr)
{
}

CByteStreamSource::~CByteStreamSource()
{
    FinishStreaming();
}

void CByteStreamSource::StartStreaming(std::span<const std::uint8_t> stream,
                                       std::vector<std::size_t> sampleSizes)
{
    m_thread = std::thread(
        [this, stream, sampleSizes = std::move(sampleSizes)]
        {
            std::size_t at = 0;
            for (std::size_t cb : sampleSizes)
            {
                m_hrDelivery = Deliver(stream.subspan(at, cb));
                if (m_hrDelivery != S_OK)
                    return;
                at += cb;
            }
            m_Pin.DeliverEndOfStream();
        });
}

HRESULT CByteStreamSource::FinishStreaming()
{
    if (m_thread.joinable())
        m_thread.join();
    return m_hrDelivery;
}

HRESULT CByteStreamSource::Deliver(std::span<const std::uint8_t> bytes)
{
    IMediaSample* pSample = nullptr;
    HRESULT hr = m_Pin.GetDeliveryBuffer(&pSample, nullptr, nullptr, 0);
    if (FAILED(hr))
        return hr;
    BYTE* pbData = nullptr;
    pSample->GetPointer(&pbData);
    std::memcpy(pbData, bytes.data(), bytes.size());
    pSample->SetActualDataLength(static_cast<LONG>(bytes.size()));
    hr = m_Pin.Deliver(pSample);
    pSample->Release();
    return hr;
}
