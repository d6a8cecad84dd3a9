#include "TestClips.h"

#include "MediaFiles.h"

namespace clips
{

namespace
{
std::string VideoInput(const char* size, const char* rate, int seconds)
{
    return std::string("-f lavfi -i testsrc2=size=") + size + ":rate=" + rate +
           ":duration=" + std::to_string(seconds) + " ";
}

std::string ToneInput(int rate, int seconds)
{
    return "-f lavfi -i sine=frequency=440:beep_factor=4:sample_rate=" + std::to_string(rate) +
           ":duration=" + std::to_string(seconds) + " ";
}

const char* const kMpeg2Video = "-c:v mpeg2video -b:v 1500k -g 12 -bf 2 ";
const char* const kLayer2 = "-c:a mp2 -b:a 192k ";
} // namespace

std::string Mpeg2Ntsc()
{
    return media::Clip("ntsc.mpg", VideoInput("352x240", "30000/1001", 2) + ToneInput(48000, 2) +
                                       kMpeg2Video + kLayer2 + "-ac 2 -f vob");
}

std::string Mpeg2Pal()
{
    return media::Clip("pal.mpg", VideoInput("352x288", "25", 2) + ToneInput(48000, 2) +
                                      kMpeg2Video + kLayer2 + "-ac 2 -f vob");
}

std::string Mpeg1System()
{
    return media::Clip("mpeg1.mpg", VideoInput("352x240", "30000/1001", 2) + ToneInput(44100, 2) +
                                        "-c:v mpeg1video -b:v 1500k -g 12 -bf 2 " + kLayer2 +
                                        "-ac 2 -f mpeg");
}

std::string Mpeg2Mono()
{
    return media::Clip("mono.mpg", VideoInput("352x288", "25", 2) + ToneInput(48000, 2) +
                                       kMpeg2Video + kLayer2 + "-ac 1 -f vob");
}

std::string Mpeg2Lpcm()
{
    return media::Clip("lpcm.mpg", VideoInput("352x240", "30000/1001", 2) + ToneInput(48000, 2) +
                                       kMpeg2Video + "-c:a pcm_s16be -ac 2 -f vob");
}

std::string Mpeg2Ac3()
{
    return media::Clip("ac3.mpg", VideoInput("352x240", "30000/1001", 2) + ToneInput(48000, 2) +
                                      kMpeg2Video + "-c:a ac3 -b:a 192k -ac 2 -f vob");
}

std::string Mpeg2LpcmAndLayer2()
{
    return media::Clip("lpcm-and-mp2.mpg", VideoInput("352x240", "30000/1001", 2) +
                                               ToneInput(48000, 2) + "-map 0:v -map 1:a -map 1:a " +
                                               kMpeg2Video +
                                               "-c:a:0 pcm_s16be -c:a:1 mp2 -ac 2 -f vob");
}

std::string Mpeg2VideoOnly()
{
    return media::Clip("video-only.mpg",
                       VideoInput("352x240", "30000/1001", 2) + kMpeg2Video + "-f vob");
}

std::string AudioFiveSecondsLate()
{
    return media::Clip("audio-late.mpg", VideoInput("352x288", "25", 6) + "-itsoffset 5 " +
                                             ToneInput(48000, 6) + kMpeg2Video + kLayer2 +
                                             "-ac 2 -f vob");
}

std::string VideoFiveSecondsLate()
{
    return media::Clip("video-late.mpg", "-itsoffset 5 " + VideoInput("352x288", "25", 6) +
                                             ToneInput(48000, 6) + kMpeg2Video + kLayer2 +
                                             "-ac 2 -f vob");
}

} // namespace clips
