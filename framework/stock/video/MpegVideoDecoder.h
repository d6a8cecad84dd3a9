#pragma once

// MPEG-1/MPEG-2 video decoding with libavcodec for a stream that arrives in
// pieces of any size: the library's parser finds the pictures, the decoder puts
// them in display order. Time stamps (100-ns units) given with a piece go with
// the picture that starts in it and come back on the decoded frame
// (best_effort_timestamp). Undecodable pictures are skipped.

#include <cstdint>
#include <optional>
#include <span>

extern "C"
{
#include <libavcodec/avcodec.h>
}

class MpegVideoDecoder
{
public:
    struct Sink
    {
        // A decoded picture; false stops the decoding of the current piece.
        virtual bool OnPicture(const AVFrame& frame) = 0;

    protected:
        ~Sink() = default;
    };

    explicit MpegVideoDecoder(Sink& sink) : m_Sink(sink) {}
    ~MpegVideoDecoder();
    MpegVideoDecoder(const MpegVideoDecoder&) = delete;
    MpegVideoDecoder& operator=(const MpegVideoDecoder&) = delete;

    // false when the library cannot make the decoder.
    bool Open(AVCodecID codecId);
    void Close();
    bool IsOpen() const { return m_pCodec != nullptr; }

    void Decode(std::span<const uint8_t> bytes, std::optional<int64_t> pts);
    // Hands out the pictures still held at the end of the stream.
    void Drain();
    // Forgets what is buffered (after a flush).
    void Reset();

    // The frame rate the stream declares, as a frame duration (0 while unknown).
    int64_t StreamFrameDuration() const;

private:
    bool SendAndReceive(const AVPacket* pPacket);
    bool DecodePicture(const uint8_t* pData, int cbData, int64_t pts);

    Sink& m_Sink;
    AVCodecID m_CodecId = AV_CODEC_ID_NONE;
    AVCodecContext* m_pCodec = nullptr;
    AVCodecParserContext* m_pParser = nullptr;
    AVPacket* m_pPacket = nullptr;
    AVFrame* m_pFrame = nullptr;
};
