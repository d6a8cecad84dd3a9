#include "MpegVideoDecoder.h"

namespace
{
constexpr AVRational kReferenceTimeBase = {1, 10000000};
} // namespace

MpegVideoDecoder::~MpegVideoDecoder()
{
    Close();
}

bool MpegVideoDecoder::Open(AVCodecID codecId)
{
    Close();
    const AVCodec* pDecoder = avcodec_find_decoder(codecId);
    if (!pDecoder)
        return false;
    m_CodecId = codecId;
    m_pCodec = avcodec_alloc_context3(pDecoder);
    m_pParser = av_parser_init(codecId);
    m_pPacket = av_packet_alloc();
    m_pFrame = av_frame_alloc();
    if (!m_pCodec || !m_pParser || !m_pPacket || !m_pFrame)
    {
        Close();
        return false;
    }
    m_pCodec->pkt_timebase = kReferenceTimeBase;
    m_pCodec->thread_count = 1; // a preview decodes in real time on one thread
    if (avcodec_open2(m_pCodec, pDecoder, nullptr) < 0)
    {
        Close();
        return false;
    }
    return true;
}

void MpegVideoDecoder::Close()
{
    av_parser_close(m_pParser);
    m_pParser = nullptr;
    avcodec_free_context(&m_pCodec);
    av_packet_free(&m_pPacket);
    av_frame_free(&m_pFrame);
}

void MpegVideoDecoder::Reset()
{
    if (!m_pCodec)
        return;
    avcodec_flush_buffers(m_pCodec);
    av_parser_close(m_pParser);
    m_pParser = av_parser_init(m_CodecId);
}

int64_t MpegVideoDecoder::StreamFrameDuration() const
{
    if (!m_pCodec || m_pCodec->framerate.num <= 0 || m_pCodec->framerate.den <= 0)
        return 0;
    return av_rescale_q(1, av_inv_q(m_pCodec->framerate), kReferenceTimeBase);
}

void MpegVideoDecoder::Decode(std::span<const uint8_t> bytes, std::optional<int64_t> pts)
{
    if (!m_pParser)
        return;
    int64_t ptsOfPiece = pts.value_or(AV_NOPTS_VALUE);
    while (!bytes.empty())
    {
        uint8_t* pPicture = nullptr;
        int cbPicture = 0;
        const int cbUsed =
            av_parser_parse2(m_pParser, m_pCodec, &pPicture, &cbPicture, bytes.data(),
                             int(bytes.size()), ptsOfPiece, AV_NOPTS_VALUE, 0);
        // The time goes with the first call only; the parser keeps it for the
        // picture that starts in these bytes.
        ptsOfPiece = AV_NOPTS_VALUE;
        if (cbUsed < 0)
            return;
        bytes = bytes.subspan(size_t(cbUsed));
        if (cbPicture > 0 && !DecodePicture(pPicture, cbPicture, m_pParser->pts))
            return;
    }
}

void MpegVideoDecoder::Drain()
{
    if (!m_pParser)
        return;
    uint8_t* pPicture = nullptr;
    int cbPicture = 0;
    av_parser_parse2(m_pParser, m_pCodec, &pPicture, &cbPicture, nullptr, 0, AV_NOPTS_VALUE,
                     AV_NOPTS_VALUE, 0);
    if (cbPicture > 0 && !DecodePicture(pPicture, cbPicture, m_pParser->pts))
        return;
    SendAndReceive(nullptr);
}

bool MpegVideoDecoder::DecodePicture(const uint8_t* pData, int cbData, int64_t pts)
{
    m_pPacket->data = const_cast<uint8_t*>(pData);
    m_pPacket->size = cbData;
    m_pPacket->pts = pts;
    m_pPacket->dts = AV_NOPTS_VALUE;
    const bool bGoOn = SendAndReceive(m_pPacket);
    m_pPacket->data = nullptr;
    m_pPacket->size = 0;
    return bGoOn;
}

bool MpegVideoDecoder::SendAndReceive(const AVPacket* pPacket)
{
    if (avcodec_send_packet(m_pCodec, pPacket) < 0 && pPacket)
        return true; // an undecodable picture is skipped
    while (avcodec_receive_frame(m_pCodec, m_pFrame) >= 0)
    {
        const bool bGoOn = m_Sink.OnPicture(*m_pFrame);
        av_frame_unref(m_pFrame);
        if (!bGoOn)
            return false;
    }
    return true;
}
