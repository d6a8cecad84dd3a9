#pragma once
// One libavcodec encoder whose packets go straight to the program stream muxer.

#include "FfmpegSupport.h"
#include "ProgramStreamMuxer.h"

#include <functional>
#include <string>

class StreamEncoder
{
public:
    using Setup = std::function<void(AVCodecContext& context, AVDictionary** ppOptions)>;

    // Opens the encoder for codecId after setup has filled in the context and the
    // encoder's private options.
    bool Open(AVCodecID codecId, const Setup& setup, std::string* pError);
    bool IsOpen() const { return m_pContext != nullptr; }
    void Close() { m_pContext.reset(); }
    const AVCodecContext& Context() const { return *m_pContext; }

    // Encodes pFrame (null: whatever the encoder still holds, which ends its use) and
    // writes each packet to stream `stream` of the muxer.
    bool Encode(const AVFrame* pFrame, ProgramStreamMuxer& muxer, int stream, std::string* pError);

private:
    ffmpeg::CodecContextPtr m_pContext;
    ffmpeg::PacketPtr m_pPacket;
};
