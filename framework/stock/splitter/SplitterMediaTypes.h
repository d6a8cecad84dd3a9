#pragma once

// The media types the splitter's outputs offer for the streams it found.
//
// Video: MPEG-2 as MEDIATYPE_Video / MEDIASUBTYPE_MPEG2_VIDEO / FORMAT_MPEG2Video,
// MPEG-1 as MEDIATYPE_Video / MEDIASUBTYPE_MPEG1Payload / FORMAT_MPEGVideo; the
// format block carries size, frame duration, bit rate, aspect ratio and the
// sequence header. Audio (FORMAT_WaveFormatEx): MPEG audio as
// MEDIASUBTYPE_MPEG1Payload (tag WAVE_FORMAT_MPEG, or WAVE_FORMAT_MPEGLAYER3 for
// layer III), AC-3 as MEDIASUBTYPE_DOLBY_AC3, LPCM as
// MEDIASUBTYPE_DVD_LPCM_AUDIO (big-endian samples without the LPCM header).

#include "streams.h"

extern "C"
{
#include <libavformat/avformat.h>
}

HRESULT BuildVideoType(const AVStream& stream, CMediaType* pmt);
HRESULT BuildAudioType(const AVStream& stream, CMediaType* pmt);
