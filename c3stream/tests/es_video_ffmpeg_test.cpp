// Real MPEG-1 and MPEG-2 video elementary streams, made by ffmpeg at test time: reading and
// writing one back reproduces it byte for byte, and a walk sees every picture that ffprobe
// counts. Skipped when ffmpeg is not installed.
#include "c3stream/es_video.h"
#include "c3stream/processor_interfaces.h"
#include "format_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace
{
namespace fs = std::filesystem;

struct CEncoding
{
    const char* pszName;
    const char* pszArguments;
};

const CEncoding kEncodings[] = {
    {"Mpeg1", "-c:v mpeg1video -g 12 -bf 2 -f mpeg1video"},
    {"Mpeg2", "-c:v mpeg2video -g 12 -bf 2 -f mpeg2video"},
    {"Mpeg2Interlaced",
     "-r 30000/1001 -c:v mpeg2video -g 6 -bf 1 -flags +ildct+ilme -top 1 -f mpeg2video"},
};

bool CommandSucceeds(const std::string& strCommand)
{
    return std::system((strCommand + " >/dev/null 2>&1").c_str()) == 0;
}

std::string CommandOutput(const std::string& strCommand)
{
    std::string strOutput;
    if (FILE* pPipe = popen(strCommand.c_str(), "r"))
    {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pPipe))
            strOutput += buffer;
        pclose(pPipe);
    }
    return strOutput;
}

Bytes ReadFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class CPictureCounter : public IProcessor
{
public:
    bool ProcessPictureHeader(CPictureHeader&) override { return ++m_nPictures, true; }

    int m_nPictures = 0;
};

class VideoStreamFromFfmpeg : public testing::TestWithParam<CEncoding>
{
protected:
    void SetUp() override
    {
        if (!CommandSucceeds("ffmpeg -version") || !CommandSucceeds("ffprobe -version"))
            GTEST_SKIP() << "ffmpeg and ffprobe are needed to make the sample streams";
        m_directory = fs::temp_directory_path() /
                      ("es_video_" + std::to_string(getpid()) + "_" + GetParam().pszName);
        fs::create_directories(m_directory);
        m_file = m_directory / "sample.mpv";
    }

    void TearDown() override
    {
        if (!m_directory.empty())
            fs::remove_all(m_directory);
    }

    // 30 pictures of the test pattern; bit-exact output carries no encoder user data.
    void Encode() const
    {
        const std::string strCommand =
            "ffmpeg -v error -y -f lavfi -i testsrc=size=176x144:rate=25 -frames:v 30 "
            "-flags +bitexact -fflags +bitexact " +
            std::string(GetParam().pszArguments) + " " + m_file.string();
        ASSERT_TRUE(CommandSucceeds(strCommand)) << strCommand;
    }

    int FfprobePictureCount() const
    {
        return std::atoi(CommandOutput("ffprobe -v error -count_frames -select_streams v:0 "
                                       "-show_entries stream=nb_read_frames -of csv=p=0 " +
                                       m_file.string())
                             .c_str());
    }

    fs::path m_directory;
    fs::path m_file;
};

TEST_P(VideoStreamFromFfmpeg, ReadAndWriteReproduceTheStreamAndSeeEveryPicture)
{
    ASSERT_NO_FATAL_FAILURE(Encode());
    // The encoder ends the stream without a start code after the last picture; the reader
    // needs one to know where that picture ends.
    const Bytes bytes = Concat({ReadFile(m_file), {0x00, 0x00, 0x01, 0xB7}});
    ASSERT_GT(bytes.size(), 1000u);
    const CExactBuffer buffer(bytes);
    CBufferReader reader = buffer.Reader();
    CVideoStream stream;
    stream.Read(reader);
    EXPECT_TRUE(stream.Found());
    EXPECT_FALSE(reader.HasData());

    EXPECT_TRUE(WriteToBytes(stream, bytes.size()) == bytes);

    CPictureCounter counter;
    EXPECT_TRUE(stream.Accept(counter));
    EXPECT_EQ(counter.m_nPictures, FfprobePictureCount());
    EXPECT_EQ(counter.m_nPictures, 30);
}

INSTANTIATE_TEST_SUITE_P(Encodings, VideoStreamFromFfmpeg, testing::ValuesIn(kEncodings),
                         [](const auto& info) { return std::string(info.param.pszName); });
} // namespace
