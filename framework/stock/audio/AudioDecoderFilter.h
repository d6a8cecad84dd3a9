#pragma once

// The stock audio decoder: MPEG audio (layers I to III), AC-3 or 16-bit DVD LPCM
// in, as the splitter or the demultiplexer deliver it, 16-bit PCM out at the
// stream's own rate, mono or stereo (more channels are mixed down to stereo).
//
// The input may arrive in arbitrary pieces: a parser (libavcodec) finds the
// frames before the decoder sees them. Undecodable frames are skipped; only a
// failed delivery ends a Receive with an error.

#include "PcmConverter.h"
#include "PcmTransformFilter.h"

extern "C"
{
#include <libavcodec/avcodec.h>
}

class CAudioDecoderFilter : public CPcmTransformFilter
{
public:
    CAudioDecoderFilter(LPUNKNOWN pUnk, HRESULT* phr);
    ~CAudioDecoderFilter() override;

    HRESULT CheckInputType(const CMediaType* pmt) override;
    HRESULT GetOutputType(const CMediaType& mtIn, int iPosition, CMediaType* pmt) override;

protected:
    HRESULT StartStreaming(const CMediaType& mtIn, const PcmFormat& out) override;
    void StopStreaming() override;
    HRESULT Transform(const BYTE* pData, LONG cbData, bool bDiscontinuity) override;
    HRESULT Drain() override;
    void ResetState() override;

private:
    HRESULT ParseAndDecode(const BYTE* pData, LONG cbData);
    HRESULT DecodeRawPcm(const BYTE* pData, LONG cbData);
    HRESULT DecodeBytes(const BYTE* pData, int cbData);
    HRESULT Decode(const AVPacket* pPacket);
    HRESULT ConvertFrame(const AVFrame* pFrame);

    static constexpr int kMaxBlockAlign = 16;

    AVCodecID m_CodecId = AV_CODEC_ID_NONE;
    AVCodecContext* m_pCodec = nullptr;
    AVCodecParserContext* m_pParser = nullptr;
    AVPacket* m_pPacket = nullptr;
    AVFrame* m_pFrame = nullptr;
    PcmConverter m_Converter;
    PcmFormat m_OutFormat;
    // Raw PCM: the bytes of a sample frame split between two input samples.
    BYTE m_PartialFrame[kMaxBlockAlign] = {};
    int m_cbPartialFrame = 0;
    int m_cbRawBlock = 0;
};
