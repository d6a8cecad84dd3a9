#pragma once
// The DVD-style MPEG program stream (libavformat's "vob" muxer): video in stream 0xE0,
// 16-bit LPCM in private stream 1 substream 0xA0, in 2048-byte packs. It writes
// through a custom AVIOContext whose callback hands the bytes to the sink; nothing
// touches a file.

#include "CaptureSource.h"
#include "FfmpegSupport.h"

#include <cstdint>
#include <string>

class ProgramStreamMuxer
{
public:
    static constexpr int kVideoStream = 0;
    static constexpr int kAudioStream = 1;

    explicit ProgramStreamMuxer(CaptureSource::ByteSink sink);
    ~ProgramStreamMuxer();
    ProgramStreamMuxer(const ProgramStreamMuxer&) = delete;
    ProgramStreamMuxer& operator=(const ProgramStreamMuxer&) = delete;

    // Adds the two streams as the encoders describe them and writes the stream's head.
    // muxRate (bit/s) must cover the highest rate the streams may reach.
    bool Open(const AVCodecContext& video, const AVCodecContext& audio, std::int64_t muxRate,
              std::string* pError);

    // Writes one packet whose timestamps are in timeBase.
    bool Write(AVPacket* pPacket, int stream, AVRational timeBase, std::string* pError);
    // Hands every byte written so far to the sink.
    bool Flush(std::string* pError);
    // Writes what the muxer still holds and the program end code, and flushes.
    bool Finish(std::string* pError);

private:
#if LIBAVFORMAT_VERSION_MAJOR >= 61
    static int WriteToSink(void* pOpaque, const std::uint8_t* pData, int cbData);
#else
    static int WriteToSink(void* pOpaque, std::uint8_t* pData, int cbData);
#endif
    bool AddStream(const AVCodecContext& encoder, std::string* pError);
    bool Check(int result, const char* what, std::string* pError);

    CaptureSource::ByteSink m_Sink;
    AVFormatContext* m_pFormat = nullptr;
    AVIOContext* m_pIo = nullptr;
    bool m_bSinkStopped = false;
    std::string m_SinkError;
};
