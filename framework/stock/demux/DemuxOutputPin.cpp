#include "DemuxOutputPin.h"

#include "AllocatorSizing.h"
#include "Mpeg2DemuxFilter.h"
#include "StreamIdMapEnumerator.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <utility>

namespace
{
// Buffers by stream kind: a video sample holds about a picture, an audio sample
// one packet's payload.
constexpr LONG kVideoBufferSize = 65536;
constexpr LONG kVideoBufferCount = 96;
constexpr LONG kAudioBufferSize = 8192;
constexpr LONG kAudioBufferCount = 192;
constexpr LONG kOtherBufferSize = 65536;
constexpr LONG kOtherBufferCount = 16;

constexpr ULONG kFirstPesStreamId = 0xBD; // private stream 1
constexpr ULONG kPaddingStreamId = 0xBE;
constexpr ULONG kLastPesStreamId = 0xFE;

bool IsMappableStreamId(ULONG streamId)
{
    return streamId >= kFirstPesStreamId && streamId <= kLastPesStreamId &&
           streamId != kPaddingStreamId;
}
} // namespace

CDemuxOutputPin::CDemuxOutputPin(CMpeg2DemuxFilter* pDemux, CCritSec* pLock, HRESULT* phr,
                                 LPCWSTR pName, const AM_MEDIA_TYPE& mt)
    : CQueuedOutputPin(NAME("Demux output"), pDemux, pLock, phr, pName, TRUE), m_pDemux(pDemux),
      m_mtOffered(mt, phr)
{
}

CDemuxOutputPin::~CDemuxOutputPin()
{
    Restart();
}

HRESULT CDemuxOutputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (ppv && riid == IID_IMPEG2StreamIdMap)
        return GetInterface(static_cast<IMPEG2StreamIdMap*>(this), ppv);
    return CQueuedOutputPin::NonDelegatingQueryInterface(riid, ppv);
}

IPin* CDemuxOutputPin::SeekingUpstreamPin() const
{
    return m_pDemux->InputPin();
}

HRESULT CDemuxOutputPin::CheckMediaType(const CMediaType* pmt)
{
    // The type given at creation describes the stream; the demultiplexer does not
    // interpret it, and takes any proposal of the same kind.
    const bool bSameKind = pmt->majortype == m_mtOffered.majortype &&
                           pmt->subtype == m_mtOffered.subtype &&
                           pmt->formattype == m_mtOffered.formattype;
    return bSameKind ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CDemuxOutputPin::GetMediaType(int iPosition, CMediaType* pmt)
{
    if (iPosition < 0)
        return E_INVALIDARG;
    if (iPosition > 0)
        return VFW_S_NO_MORE_ITEMS;
    return pmt->Set(m_mtOffered);
}

HRESULT CDemuxOutputPin::SetOfferedType(const CMediaType& mt)
{
    return m_mtOffered.Set(mt);
}

HRESULT CDemuxOutputPin::DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest)
{
    if (m_mt.majortype == MEDIATYPE_Video)
        return SetAllocatorAtLeast(pAlloc, *pRequest, kVideoBufferCount, kVideoBufferSize);
    if (m_mt.majortype == MEDIATYPE_Audio)
        return SetAllocatorAtLeast(pAlloc, *pRequest, kAudioBufferCount, kAudioBufferSize);
    return SetAllocatorAtLeast(pAlloc, *pRequest, kOtherBufferCount, kOtherBufferSize);
}

HRESULT CDemuxOutputPin::MapStreamId(ULONG ulStreamId, DWORD MediaSampleContent,
                                     ULONG ulSubstreamFilterValue, int iDataOffset)
{
    if (MediaSampleContent != MPEG2_PROGRAM_ELEMENTARY_STREAM)
        return E_NOTIMPL; // the only content this demultiplexer delivers
    if (!IsMappableStreamId(ulStreamId) || iDataOffset < 0)
        return E_INVALIDARG;
    const STREAM_ID_MAP entry{ulStreamId, MediaSampleContent, ulSubstreamFilterValue, iDataOffset};
    std::lock_guard lock(m_pDemux->RoutingLock());
    auto it = std::find_if(m_Map.begin(), m_Map.end(),
                           [&](const STREAM_ID_MAP& e) { return e.stream_id == ulStreamId; });
    if (it != m_Map.end())
        *it = entry;
    else
        m_Map.push_back(entry);
    return S_OK;
}

HRESULT CDemuxOutputPin::UnmapStreamId(ULONG culStreamId, ULONG* pulStreamId)
{
    if (culStreamId > 0 && !pulStreamId)
        return E_POINTER;
    std::lock_guard lock(m_pDemux->RoutingLock());
    HRESULT hr = S_OK;
    for (ULONG i = 0; i < culStreamId; ++i)
    {
        const auto removed = std::erase_if(m_Map, [&](const STREAM_ID_MAP& e)
                                           { return e.stream_id == pulStreamId[i]; });
        if (removed == 0)
            hr = E_INVALIDARG;
    }
    return hr;
}

HRESULT CDemuxOutputPin::EnumStreamIdMap(IEnumStreamIdMap** ppIEnumStreamIdMap)
{
    if (!ppIEnumStreamIdMap)
        return E_POINTER;
    std::lock_guard lock(m_pDemux->RoutingLock());
    *ppIEnumStreamIdMap = new StreamIdMapEnumerator(m_Map);
    return S_OK;
}

std::optional<STREAM_ID_MAP> CDemuxOutputPin::EntryFor(ULONG streamId) const
{
    for (const STREAM_ID_MAP& entry : m_Map)
        if (entry.stream_id == streamId)
            return entry;
    return std::nullopt;
}

void CDemuxOutputPin::Restart()
{
    if (m_pOpen)
        m_pOpen->Release();
    m_pOpen = nullptr;
    m_cbOpen = 0;
    m_bDiscontinuity = true;
}

bool CDemuxOutputPin::OpenSample(std::optional<REFERENCE_TIME> tStart)
{
    // Fails while the pin is inactive or its allocator decommitted (stopping).
    if (FAILED(GetDeliveryBuffer(&m_pOpen, nullptr, nullptr, 0)))
    {
        m_pOpen = nullptr;
        return false;
    }
    m_pOpen->GetPointer(&m_pOpenData);
    m_cbOpenSize = m_pOpen->GetSize();
    m_cbOpen = 0;
    if (tStart)
    {
        REFERENCE_TIME t = *tStart;
        m_pOpen->SetTime(&t, nullptr);
    }
    m_pOpen->SetSyncPoint(tStart.has_value());
    m_pOpen->SetDiscontinuity(m_bDiscontinuity);
    m_bDiscontinuity = false;
    return true;
}

void CDemuxOutputPin::Append(std::span<const BYTE> bytes, std::optional<REFERENCE_TIME> tStart)
{
    if (tStart)
        DeliverOpenSample();
    while (!bytes.empty())
    {
        if (!m_pOpen && !OpenSample(std::exchange(tStart, std::nullopt)))
            return; // nowhere to put it: the pin is not streaming
        const size_t cbCopy = std::min(bytes.size(), size_t(m_cbOpenSize - m_cbOpen));
        std::memcpy(m_pOpenData + m_cbOpen, bytes.data(), cbCopy);
        m_cbOpen += LONG(cbCopy);
        bytes = bytes.subspan(cbCopy);
        if (m_cbOpen == m_cbOpenSize)
            DeliverOpenSample();
    }
}

void CDemuxOutputPin::DeliverOpenSample()
{
    if (!m_pOpen)
        return;
    IMediaSample* pSample = std::exchange(m_pOpen, nullptr);
    if (m_cbOpen > 0)
    {
        pSample->SetActualDataLength(m_cbOpen);
        Deliver(pSample);
    }
    pSample->Release();
    m_cbOpen = 0;
}

void CDemuxOutputPin::ReleaseBufferWait()
{
    if (m_pAllocator)
        m_pAllocator->Decommit();
}
