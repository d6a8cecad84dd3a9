#include "AudioDecoderFilter.h"

#include <algorithm>

namespace
{
constexpr LONG kOutputBufferSize = 32768;

// The codec a compressed audio type needs; AV_CODEC_ID_NONE when the decoder
// does not take the type.
AVCodecID CodecOf(const CMediaType& mt)
{
    const WAVEFORMATEX* pWave = WaveFormatOf(mt);
    if (!pWave || pWave->nChannels < 1 || pWave->nChannels > 8 || pWave->nSamplesPerSec < 8000 ||
        pWave->nSamplesPerSec > 192000)
        return AV_CODEC_ID_NONE;
    if (mt.subtype == MEDIASUBTYPE_MPEG1Payload || mt.subtype == MEDIASUBTYPE_MPEG1Packet ||
        mt.subtype == MEDIASUBTYPE_MPEG1Audio || mt.subtype == MEDIASUBTYPE_MPEG2_AUDIO)
        return pWave->wFormatTag == WAVE_FORMAT_MPEGLAYER3 ? AV_CODEC_ID_MP3 : AV_CODEC_ID_MP2;
    if (mt.subtype == MEDIASUBTYPE_DOLBY_AC3)
        return AV_CODEC_ID_AC3;
    if (mt.subtype == MEDIASUBTYPE_DVD_LPCM_AUDIO && pWave->wBitsPerSample == 16)
        return AV_CODEC_ID_PCM_S16BE;
    return AV_CODEC_ID_NONE;
}

PcmFormat OutputFormatOf(const CMediaType& mtIn)
{
    const WAVEFORMATEX* pWave = WaveFormatOf(mtIn);
    return PcmFormat{int(pWave->nSamplesPerSec), std::min(int(pWave->nChannels), 2), 16};
}
} // namespace

CAudioDecoderFilter::CAudioDecoderFilter(LPUNKNOWN pUnk, HRESULT* phr)
    : CPcmTransformFilter(NAME("Audio decoder"), pUnk, CLSID_CMpegAudioCodec, phr,
                          kOutputBufferSize)
{
}

CAudioDecoderFilter::~CAudioDecoderFilter()
{
    StopStreaming();
}

HRESULT CAudioDecoderFilter::CheckInputType(const CMediaType* pmt)
{
    return CodecOf(*pmt) != AV_CODEC_ID_NONE ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CAudioDecoderFilter::GetOutputType(const CMediaType& mtIn, int iPosition, CMediaType* pmt)
{
    if (iPosition > 0)
        return VFW_S_NO_MORE_ITEMS;
    return OutputFormatOf(mtIn).ToMediaType(pmt);
}

HRESULT CAudioDecoderFilter::StartStreaming(const CMediaType& mtIn, const PcmFormat& out)
{
    StopStreaming();
    m_CodecId = CodecOf(mtIn);
    const AVCodec* pDecoder = avcodec_find_decoder(m_CodecId);
    if (!pDecoder)
        return VFW_E_NO_DECOMPRESSOR;
    m_pCodec = avcodec_alloc_context3(pDecoder);
    m_pPacket = av_packet_alloc();
    m_pFrame = av_frame_alloc();
    if (!m_pCodec || !m_pPacket || !m_pFrame)
    {
        StopStreaming();
        return E_OUTOFMEMORY;
    }
    // Raw PCM carries no headers: its layout comes from the media type.
    const WAVEFORMATEX* pWave = WaveFormatOf(mtIn);
    m_pCodec->sample_rate = int(pWave->nSamplesPerSec);
    av_channel_layout_default(&m_pCodec->ch_layout, pWave->nChannels);
    if (avcodec_open2(m_pCodec, pDecoder, nullptr) < 0)
    {
        StopStreaming();
        return VFW_E_NO_DECOMPRESSOR;
    }
    m_pParser = av_parser_init(m_CodecId); // none for raw PCM
    m_cbRawBlock = m_pParser ? 0 : pWave->nChannels * 2;
    m_cbPartialFrame = 0;
    m_OutFormat = out;
    return S_OK;
}

void CAudioDecoderFilter::StopStreaming()
{
    av_parser_close(m_pParser);
    m_pParser = nullptr;
    avcodec_free_context(&m_pCodec);
    av_packet_free(&m_pPacket);
    av_frame_free(&m_pFrame);
    m_Converter.Close();
}

void CAudioDecoderFilter::ResetState()
{
    if (!m_pCodec)
        return;
    avcodec_flush_buffers(m_pCodec);
    if (m_pParser)
    {
        av_parser_close(m_pParser);
        m_pParser = av_parser_init(m_CodecId);
    }
    m_cbPartialFrame = 0;
    m_Converter.Reset();
}

HRESULT CAudioDecoderFilter::Transform(const BYTE* pData, LONG cbData, bool /*bDiscontinuity*/)
{
    return m_pParser ? ParseAndDecode(pData, cbData) : DecodeRawPcm(pData, cbData);
}

HRESULT CAudioDecoderFilter::ParseAndDecode(const BYTE* pData, LONG cbData)
{
    while (cbData > 0)
    {
        uint8_t* pFrameData = nullptr;
        int cbFrame = 0;
        const int cbUsed = av_parser_parse2(m_pParser, m_pCodec, &pFrameData, &cbFrame, pData,
                                            int(cbData), AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
        if (cbUsed < 0)
            return S_OK; // the parser gave up on this input; later input resynchronises it
        pData += cbUsed;
        cbData -= cbUsed;
        const HRESULT hr = DecodeBytes(pFrameData, cbFrame);
        if (hr != S_OK)
            return hr;
    }
    return S_OK;
}

HRESULT CAudioDecoderFilter::DecodeRawPcm(const BYTE* pData, LONG cbData)
{
    // Complete the frame left over from the previous sample first.
    if (m_cbPartialFrame > 0)
    {
        const int cbTake = std::min(int(cbData), m_cbRawBlock - m_cbPartialFrame);
        std::copy_n(pData, cbTake, m_PartialFrame + m_cbPartialFrame);
        m_cbPartialFrame += cbTake;
        pData += cbTake;
        cbData -= cbTake;
        if (m_cbPartialFrame < m_cbRawBlock)
            return S_OK;
        m_cbPartialFrame = 0;
        const HRESULT hr = DecodeBytes(m_PartialFrame, m_cbRawBlock);
        if (hr != S_OK)
            return hr;
    }
    const int cbWhole = int(cbData) / m_cbRawBlock * m_cbRawBlock;
    const HRESULT hr = DecodeBytes(pData, cbWhole);
    m_cbPartialFrame = int(cbData) - cbWhole;
    std::copy_n(pData + cbWhole, m_cbPartialFrame, m_PartialFrame);
    return hr;
}

HRESULT CAudioDecoderFilter::DecodeBytes(const BYTE* pData, int cbData)
{
    if (cbData <= 0)
        return S_OK;
    m_pPacket->data = const_cast<BYTE*>(pData);
    m_pPacket->size = cbData;
    const HRESULT hr = Decode(m_pPacket);
    m_pPacket->data = nullptr;
    m_pPacket->size = 0;
    return hr;
}

HRESULT CAudioDecoderFilter::Drain()
{
    if (!m_pCodec)
        return S_OK;
    HRESULT hr = S_OK;
    if (m_pParser)
    {
        // The parser keeps the last frame until it knows the frame is complete.
        uint8_t* pFrameData = nullptr;
        int cbFrame = 0;
        av_parser_parse2(m_pParser, m_pCodec, &pFrameData, &cbFrame, nullptr, 0, AV_NOPTS_VALUE,
                         AV_NOPTS_VALUE, 0);
        hr = DecodeBytes(pFrameData, cbFrame);
    }
    if (hr == S_OK)
        hr = Decode(nullptr);
    if (hr == S_OK && m_Converter.IsConfigured())
    {
        std::span<const BYTE> pcm;
        if (SUCCEEDED(m_Converter.Drain(&pcm)))
            hr = Output(pcm);
    }
    return hr;
}

HRESULT CAudioDecoderFilter::Decode(const AVPacket* pPacket)
{
    if (avcodec_send_packet(m_pCodec, pPacket) < 0 && pPacket)
        return S_OK; // an undecodable frame is skipped
    for (;;)
    {
        if (avcodec_receive_frame(m_pCodec, m_pFrame) < 0)
            return S_OK; // needs more input, or drained
        const HRESULT hr = ConvertFrame(m_pFrame);
        av_frame_unref(m_pFrame);
        if (hr != S_OK)
            return hr;
    }
}

HRESULT CAudioDecoderFilter::ConvertFrame(const AVFrame* pFrame)
{
    const AVSampleFormat sampleFormat = AVSampleFormat(pFrame->format);
    if (!m_Converter.IsConfiguredFor(pFrame->ch_layout, sampleFormat, pFrame->sample_rate) &&
        FAILED(m_Converter.Configure(pFrame->ch_layout, sampleFormat, pFrame->sample_rate,
                                     m_OutFormat)))
        return S_OK; // a frame the converter cannot take is skipped
    std::span<const BYTE> pcm;
    if (FAILED(m_Converter.Convert(pFrame->extended_data, pFrame->nb_samples, &pcm)))
        return S_OK;
    return Output(pcm);
}
