#pragma once
// Decodes one stream of a file (the best video or audio stream libavformat finds)
// over and over. Each pass is moved on by the pass length, so the timestamps keep
// growing: the file's duration (the same for its audio and video, so the two stay
// together) when libavformat knows it and it lies within a second of where this
// stream ended, else this stream's own end. Each decoder opens the file on its own, so
// neither stream ever waits in memory for the other.

#include "FfmpegSupport.h"

#include <cstdint>
#include <string>

class LoopedDecoder
{
public:
    // False with *pError when the file cannot be read; a file without a stream of the
    // type opens, with HasStream() false.
    bool Open(const std::string& path, AVMediaType type, std::string* pError);
    bool HasStream() const { return m_pDecoder != nullptr; }

    // Time base of the frames' timestamps.
    AVRational TimeBase() const;
    // The next decoded frame, with its timestamp counted from the first pass's start.
    // Broken packets are skipped; a pass without any frame is an error.
    bool Next(AVFrame* pFrame, std::string* pError);

private:
    bool OpenDecoder(const AVStream& stream, std::string* pError);
    // Feeds the decoder one packet of the stream, or the end of the pass; false when
    // the end was fed already.
    bool FeedDecoder();
    bool StartNextPass(std::string* pError);
    std::int64_t PassLength() const;
    void Stamp(AVFrame* pFrame);

    std::string m_Path;
    ffmpeg::InputPtr m_pInput;
    ffmpeg::CodecContextPtr m_pDecoder;
    ffmpeg::PacketPtr m_pPacket;
    const AVStream* m_pStream = nullptr;
    std::int64_t m_StartTime = 0;    // the file's first timestamp, in TimeBase()
    std::int64_t m_FileDuration = 0; // in TimeBase(); 0 when unknown
    std::int64_t m_PassOffset = 0;
    std::int64_t m_PassEnd = 0; // the end of the last frame of this pass
    bool m_bFrameInPass = false;
    bool m_bDraining = false;
};
