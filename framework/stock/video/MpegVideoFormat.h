#pragma once

// What the video decoder reads from its input type: MPEG-2 video
// (MEDIASUBTYPE_MPEG2_VIDEO with an MPEG2VIDEOINFO, as the demultiplexer and the
// splitter give it) or MPEG-1 video (MEDIASUBTYPE_MPEG1Payload or
// MEDIASUBTYPE_MPEG1Packet with an MPEG1VIDEOINFO): the codec, the picture size
// and the frame duration.

#include "streams.h"

extern "C"
{
#include <libavcodec/codec_id.h>
}

struct MpegVideoFormat
{
    AVCodecID codecId = AV_CODEC_ID_NONE;
    LONG width = 0;
    LONG height = 0;
    REFERENCE_TIME avgTimePerFrame = 0; // 0 when the type does not say

    // False for any other type, a short format block or a picture size out of range.
    static bool FromMediaType(const CMediaType& mt, MpegVideoFormat* pFormat);
};
