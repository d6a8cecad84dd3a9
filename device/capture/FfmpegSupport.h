#pragma once
// Owning pointers for FFmpeg's objects, and the error texts the capture source reports.

#include <memory>
#include <string>

extern "C"
{
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
}

namespace ffmpeg
{

struct FrameDeleter
{
    void operator()(AVFrame* pFrame) const { av_frame_free(&pFrame); }
};
struct PacketDeleter
{
    void operator()(AVPacket* pPacket) const { av_packet_free(&pPacket); }
};
struct CodecContextDeleter
{
    void operator()(AVCodecContext* pContext) const { avcodec_free_context(&pContext); }
};
struct InputDeleter
{
    void operator()(AVFormatContext* pContext) const { avformat_close_input(&pContext); }
};
struct FilterGraphDeleter
{
    void operator()(AVFilterGraph* pGraph) const { avfilter_graph_free(&pGraph); }
};

using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextDeleter>;
using InputPtr = std::unique_ptr<AVFormatContext, InputDeleter>;
using FilterGraphPtr = std::unique_ptr<AVFilterGraph, FilterGraphDeleter>;

// Allocates a frame and a packet; they throw std::bad_alloc when memory runs out, as
// operator new does.
FramePtr AllocateFrame();
PacketPtr AllocatePacket();

// "what: FFmpeg's text for code", e.g. "cannot open the encoder: Invalid argument".
std::string Describe(const std::string& what, int code);

// Stores the text in *pError (when given) and returns false, so a failing step reads
// `return Fail(pError, ...);`.
bool Fail(std::string* pError, const std::string& text);
bool Fail(std::string* pError, const std::string& what, int code);

// FFmpeg's libraries log to standard error by default; the capture source reports
// through its error texts instead, so their log is silenced (once per process).
void SilenceLog();

} // namespace ffmpeg
