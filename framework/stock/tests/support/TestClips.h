#pragma once

// The MPEG clips the tests convert, made with ffmpeg on first use (MediaFiles.h).
// All are short and small so that the suite stays quick; the video has B-frames
// and open GOPs.

#include <string>

namespace clips
{

// MPEG-2 program streams with MPEG-1 layer II audio at 48 kHz, stereo.
std::string Mpeg2Ntsc(); // 352x240 at 29.97 fps, 2 s
std::string Mpeg2Pal();  // 352x288 at 25 fps, 2 s
// MPEG-1 system stream, MPEG-1 video at 29.97 fps, layer II audio at 44.1 kHz.
std::string Mpeg1System();
// MPEG-2 program stream with mono audio.
std::string Mpeg2Mono();
// MPEG-2 program stream with 16-bit LPCM audio in private stream 1.
std::string Mpeg2Lpcm();
// MPEG-2 program stream with AC-3 audio in private stream 1 (substream 0x80).
std::string Mpeg2Ac3();
// MPEG-2 program stream with two audio streams: 16-bit LPCM (private stream 1,
// substream 0xA0) and layer II (stream 0xC0).
std::string Mpeg2LpcmAndLayer2();
// MPEG-2 program stream with no audio.
std::string Mpeg2VideoOnly();
// 25 fps MPEG-2 program streams, 6 s of each stream, whose audio (or video)
// begins five seconds later in the file than the other stream.
std::string AudioFiveSecondsLate();
std::string VideoFiveSecondsLate();

} // namespace clips
