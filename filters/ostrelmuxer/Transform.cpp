// The muxing engine: copies each input sample into the open output sample. A video sample
// is a C3 packet without audio; its header is edited in place in the output, and the
// audio samples that follow are appended behind it, each updating the header's audio
// length. A packet never spans two output samples, so its header can always be patched
// where it stands: a video sample opens a new output sample when it and the room kept for
// its audio do not fit, and audio that outgrows that room moves its packet to a new one.

#include "OstrelMuxerFilter.h"

#include "OutputPin.h"
#include "c3stream/buffer_rw.h"
#include "c3stream/c3_stream.h"

#include <cstring>

namespace
{
// Room kept behind a video unit for its audio: 2 units of 3224 bytes, or 4 of 1944.
constexpr LONG kAudioRoomForTwo = 6448;
constexpr LONG kAudioRoomOtherwise = 7776;
constexpr uint32_t kPictureTypeBits = 0x7;

// Offsets of the header words the engine rewrites.
constexpr std::size_t kAudioLengthOffset = 12;
constexpr std::size_t kFlagsOffset = 16;
constexpr std::size_t kPreviousLengthOffset = 20;

LONG AudioRoom(uint32_t nAudioPerVideo)
{
    return nAudioPerVideo == 2 ? kAudioRoomForTwo : kAudioRoomOtherwise;
}

// The sample's bytes, or false when its lengths are inconsistent.
bool GetSampleBytes(IMediaSample* pSample, BYTE** ppData, LONG* pcbData)
{
    if (FAILED(pSample->GetPointer(ppData)))
        return false;
    *pcbData = pSample->GetActualDataLength();
    return *pcbData >= 0 && *pcbData <= pSample->GetSize() && (*pcbData == 0 || *ppData);
}

LONG FreeSpace(IMediaSample* pSample)
{
    return pSample->GetSize() - pSample->GetActualDataLength();
}

BYTE* EndOfData(IMediaSample* pSample)
{
    BYTE* pData = nullptr;
    pSample->GetPointer(&pData);
    return pData + pSample->GetActualDataLength();
}

// Reads the packet header at the start of a video sample. The sample must hold a whole
// header with the marker and exactly the video bytes the header declares, so that what
// is muxed is a well-formed packet; the length test also keeps the read from running dry.
bool ReadPacketHeader(const BYTE* pData, LONG cbData, CC3Header& header)
{
    if (cbData < static_cast<LONG>(kC3HeaderLength))
        return false;
    CBufferReader reader(pData, static_cast<std::size_t>(cbData));
    if (reader.PeekBytes(4) != kC3Marker)
        return false;
    header.Read(reader);
    return static_cast<uint64_t>(header.m_cbVideoLength) + kC3HeaderLength ==
           static_cast<uint64_t>(cbData);
}

void StoreHeaderWord(BYTE* pHeader, std::size_t offset, uint32_t nValue)
{
    CBufferWriter writer(pHeader + offset, 4);
    writer.WriteBytes(nValue, 4);
}
} // namespace

// A video sample that is not a well-formed packet, or that cannot fit with its audio room
// in an empty output buffer, is dropped: it is not muxed, S_OK is returned so that the
// upstream keeps delivering, and its audio goes behind the packet before it.
HRESULT OstrelMuxerFilter::MuxVideo(IMediaSample* pVideo)
{
    BYTE* pInput = nullptr;
    LONG cbInput = 0;
    CC3Header header;
    if (!GetSampleBytes(pVideo, &pInput, &cbInput) || !ReadPacketHeader(pInput, cbInput, header))
        return S_OK;
    const uint32_t nAudioPerVideo = header.AudioUnits();
    const LONG cbRoom = AudioRoom(nAudioPerVideo);

    IMediaSample* pOut = nullptr;
    HRESULT hr = GetOutputSample(&pOut);
    if (FAILED(hr))
        return hr;
    if (static_cast<int64_t>(cbInput) + cbRoom > pOut->GetSize())
        return KeepOpen(pOut);
    m_bPacketOpen = false;
    if (static_cast<int64_t>(cbInput) + cbRoom > FreeSpace(pOut))
    {
        CloseSample(pOut);
        hr = NewOutputSample(&pOut);
        if (FAILED(hr))
            return hr;
    }

    m_nAudioPerVideo = nAudioPerVideo;
    if (nAudioPerVideo == 2 || nAudioPerVideo == 4)
        m_bFormatByte = static_cast<BYTE>(nAudioPerVideo / 2);

    BYTE* pHeader = EndOfData(pOut);
    std::memcpy(pHeader, pInput, static_cast<std::size_t>(cbInput));
    StoreHeaderWord(pHeader, kAudioLengthOffset, 0);
    StoreHeaderWord(pHeader, kFlagsOffset, header.m_nFlags & kPictureTypeBits);
    StoreHeaderWord(pHeader, kPreviousLengthOffset,
                    PreviousPacketLength(header.m_cbPreviousLength));
    m_cbHeaderOffset = pOut->GetActualDataLength();
    pOut->SetActualDataLength(m_cbHeaderOffset + cbInput);
    m_cbLastPacketHead = static_cast<uint32_t>(cbInput);
    m_cbLastAudioLength = 0;
    m_bPacketOpen = true;
    return KeepOpen(pOut);
}

// A previous length of 0 marks the first packet of a segment and stays 0. Otherwise it is
// the whole length of the packet muxed before, audio included, which also keeps the chain
// unbroken across a dropped video sample; until a packet was muxed the upstream's value
// stands.
uint32_t OstrelMuxerFilter::PreviousPacketLength(uint32_t cbUpstreamValue) const
{
    if (cbUpstreamValue == 0 || m_cbLastPacketHead == 0)
        return cbUpstreamValue;
    return m_cbLastPacketHead + m_cbLastAudioLength;
}

// The header's audio length always states the audio bytes behind the packet, counting the
// sample being copied. Audio with no packet to carry it (before the first video packet,
// or after the video has ended) and audio that cannot fit in one output buffer with its
// packet are dropped.
HRESULT OstrelMuxerFilter::MuxAudio(IMediaSample* pAudio)
{
    BYTE* pInput = nullptr;
    LONG cbInput = 0;
    if (!GetSampleBytes(pAudio, &pInput, &cbInput) || cbInput == 0 || !m_bPacketOpen)
        return S_OK;
    IMediaSample* pOut = m_OpenQueue.Get();
    if (!pOut)
    {
        m_bPacketOpen = false;
        return S_OK;
    }
    if (cbInput > FreeSpace(pOut))
    {
        const HRESULT hr = MovePacketToNewSample(&pOut, cbInput);
        if (FAILED(hr))
        {
            KeepOpen(pOut);
            return hr == VFW_E_BUFFER_OVERFLOW ? S_OK : hr;
        }
    }
    BYTE* pData = nullptr;
    pOut->GetPointer(&pData);
    m_cbLastAudioLength += static_cast<uint32_t>(cbInput);
    StoreHeaderWord(pData + m_cbHeaderOffset, kAudioLengthOffset, m_cbLastAudioLength);
    std::memcpy(EndOfData(pOut), pInput, static_cast<std::size_t>(cbInput));
    pOut->SetActualDataLength(pOut->GetActualDataLength() + cbInput);
    if (FreeSpace(pOut) > 0)
        return KeepOpen(pOut);
    // A full sample goes out at once rather than waiting for the next video sample; the
    // packet in it can take no more audio.
    m_bPacketOpen = false;
    CloseSample(pOut);
    return S_OK;
}

// Moves the open packet to the start of a new output sample and closes the old one
// behind the packet before it. VFW_E_BUFFER_OVERFLOW (nothing moved) when the packet
// opens the sample already or would not fit a whole buffer with the audio either.
HRESULT OstrelMuxerFilter::MovePacketToNewSample(IMediaSample** ppSample, LONG cbAudio)
{
    IMediaSample* pOld = *ppSample;
    const LONG cbPacket = pOld->GetActualDataLength() - m_cbHeaderOffset;
    if (m_cbHeaderOffset == 0 || static_cast<int64_t>(cbPacket) + cbAudio > pOld->GetSize())
        return VFW_E_BUFFER_OVERFLOW;
    IMediaSample* pNew = nullptr;
    const HRESULT hr = NewOutputSample(&pNew);
    if (FAILED(hr))
        return hr;
    if (static_cast<int64_t>(cbPacket) + cbAudio > pNew->GetSize())
    {
        pNew->Release();
        return VFW_E_BUFFER_OVERFLOW;
    }
    BYTE* pOldData = nullptr;
    pOld->GetPointer(&pOldData);
    std::memcpy(EndOfData(pNew), pOldData + m_cbHeaderOffset, static_cast<std::size_t>(cbPacket));
    pNew->SetActualDataLength(cbPacket);
    pOld->SetActualDataLength(m_cbHeaderOffset);
    CloseSample(pOld);
    m_cbHeaderOffset = 0;
    *ppSample = pNew;
    return S_OK;
}

HRESULT OstrelMuxerFilter::GetOutputSample(IMediaSample** ppSample)
{
    *ppSample = m_OpenQueue.Get();
    return *ppSample ? S_OK : NewOutputSample(ppSample);
}

// A fresh output sample carries no times and no flags.
HRESULT OstrelMuxerFilter::NewOutputSample(IMediaSample** ppSample)
{
    *ppSample = nullptr;
    IMediaSample* pSample = nullptr;
    const HRESULT hr = m_pOutputPin->GetDeliveryBuffer(&pSample, nullptr, nullptr, 0);
    if (FAILED(hr))
        return hr;
    pSample->SetTime(nullptr, nullptr);
    pSample->SetMediaTime(nullptr, nullptr);
    pSample->SetSyncPoint(FALSE);
    pSample->SetPreroll(FALSE);
    pSample->SetDiscontinuity(FALSE);
    pSample->SetActualDataLength(0);
    *ppSample = pSample;
    return S_OK;
}

// Puts the open sample back for the next input sample. Should the queue fail, it has
// released the sample, and the packet in it is gone.
HRESULT OstrelMuxerFilter::KeepOpen(IMediaSample* pSample)
{
    const HRESULT hr = m_OpenQueue.Put(pSample);
    if (FAILED(hr))
        m_bPacketOpen = false;
    return hr;
}

// A closed sample carries the output type with the current format byte.
void OstrelMuxerFilter::CloseSample(IMediaSample* pSample)
{
    if (m_mtOut.FormatLength() == 1)
        m_mtOut.Format()[0] = m_bFormatByte;
    pSample->SetMediaType(&m_mtOut);
    m_ReadyQueue.Put(pSample);
}

// The muxing fails only for want of an output buffer or of memory, which ends the stream.
HRESULT OstrelMuxerFilter::DeliverMuxed(HRESULT hrMux)
{
    return FAILED(hrMux) ? m_Failure.FromOwnWork(hrMux) : DeliverReady();
}

// Once a delivery has failed, the samples still ready are dropped.
HRESULT OstrelMuxerFilter::DeliverReady()
{
    while (IMediaSample* pSample = m_ReadyQueue.Get())
    {
        if (m_Failure.Result() == S_OK)
            m_Failure.FromDelivery(m_pOutputPin->Deliver(pSample));
        pSample->Release();
    }
    return m_Failure.Result();
}

// Delivers everything muxed, the open sample included; no packet takes audio afterwards.
void OstrelMuxerFilter::DeliverOpenSample()
{
    if (IMediaSample* pOpen = m_OpenQueue.Get())
    {
        if (pOpen->GetActualDataLength() > 0)
            CloseSample(pOpen);
        else
            pOpen->Release();
    }
    m_bPacketOpen = false;
    DeliverReady();
}
