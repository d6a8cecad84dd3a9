#include "FfmpegSupport.h"

#include <mutex>
#include <new>

extern "C"
{
#include <libavutil/error.h>
#include <libavutil/log.h>
}

namespace ffmpeg
{

FramePtr AllocateFrame()
{
    FramePtr pFrame(av_frame_alloc());
    if (!pFrame)
        throw std::bad_alloc();
    return pFrame;
}

PacketPtr AllocatePacket()
{
    PacketPtr pPacket(av_packet_alloc());
    if (!pPacket)
        throw std::bad_alloc();
    return pPacket;
}

std::string Describe(const std::string& what, int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return what + ": " + text;
}

bool Fail(std::string* pError, const std::string& text)
{
    if (pError)
        *pError = text;
    return false;
}

bool Fail(std::string* pError, const std::string& what, int code)
{
    return Fail(pError, Describe(what, code));
}

void SilenceLog()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

} // namespace ffmpeg
