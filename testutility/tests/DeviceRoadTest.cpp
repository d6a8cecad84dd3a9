// The device road through kstest and the registered modules of this build, with the
// virtual device in a fresh registry for every test: capture, its settings, playback
// of the converted capture, and how damage, segments and Ctrl-C end.

#include "C3StreamFile.h"
#include "MediaFiles.h"

#include <com/Registry.h>
#include <com/StringConvert.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
struct Outcome
{
    int status = -1;
    std::string messages;
};

Outcome Kstest(const std::string& arguments, const std::string& environment = {})
{
    Outcome outcome;
    const std::vector<uint8_t> output = media::CaptureOutput(
        environment + " " + KSTEST_PATH + " " + arguments + " 2>&1", &outcome.status);
    outcome.messages.assign(output.begin(), output.end());
    return outcome;
}

std::string Text(const std::vector<uint8_t>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

// "key=value" lines of ffprobe for the streams of a file.
std::string StreamFields(const std::string& path)
{
    return Text(media::CaptureOutput(
        "ffprobe -v error -show_entries stream=codec_name,width,height,r_frame_rate,sample_rate,"
        "channels -of default=nw=1 " +
        media::Quote(path)));
}

// The mean of a per-frame value that an ffmpeg filter chain ("-vf ...,metadata" or
// "-af ...,ametadata") logs as "key=value".
double MeanOfLogged(const std::string& path, const std::string& chain, const std::string& key)
{
    const std::string log = Text(media::CaptureOutput(
        "ffmpeg -nostdin -v error -i " + media::Quote(path) + " " + chain + "=print:key=" + key +
        ":file=- -f null - 2>/dev/null"));
    std::istringstream lines(log);
    double sum = 0;
    int count = 0;
    for (std::string line; std::getline(lines, line);)
        if (const std::size_t equals = line.find(key + "="); equals != std::string::npos)
        {
            sum += std::stod(line.substr(equals + key.size() + 1));
            ++count;
        }
    return count ? sum / count : -1000;
}

double MeanLuma(const std::string& path)
{
    return MeanOfLogged(path, "-vf signalstats,metadata", "lavfi.signalstats.YAVG");
}

double AudioLevelDb(const std::string& path)
{
    return MeanOfLogged(path, "-af astats=metadata=1:reset=1,ametadata",
                        "lavfi.astats.Overall.RMS_level");
}

class DeviceRoad : public testing::Test
{
protected:
    void SetUp() override
    {
        const std::string registry = media::ScratchPath(Name() + "-registry.txt");
        std::filesystem::remove(registry);
        setenv("MARVEK_REGISTRY", registry.c_str(), 1);
        setenv("MARVEK_SYSTEM_REGISTRY", "", 1);
        ASSERT_EQ(0, media::Run(std::string(REGISTER_SCRIPT) + " >/dev/null"));
    }

    static std::string Name()
    {
        return testing::UnitTest::GetInstance()->current_test_info()->name();
    }
    static std::string Scratch(const std::string& suffix) { return media::ScratchPath(Name() + suffix); }

    // Captures for the given seconds into a fresh file; its path.
    static std::string Capture(int seconds, const std::string& suffix = ".mpg")
    {
        const std::string target = Scratch(suffix);
        const Outcome outcome = Kstest("capture --seconds " + std::to_string(seconds) + " " +
                                       media::Quote(target));
        EXPECT_EQ(0, outcome.status) << outcome.messages;
        return target;
    }
};
} // namespace

TEST_F(DeviceRoad, DefaultCaptureIsMpeg2AtNtscWithDvdLpcmAndListed)
{
    const std::string target = Scratch(".mpg");
    const Outcome outcome = Kstest("capture --seconds 2 " + media::Quote(target));
    ASSERT_EQ(0, outcome.status) << outcome.messages;
    EXPECT_NE(outcome.messages.find("(0 dropped)"), std::string::npos) << outcome.messages;
    const std::string fields = StreamFields(target);
    for (const char* expected : {"codec_name=mpeg2video", "width=720", "height=480",
                                 "r_frame_rate=30000/1001", "codec_name=pcm_dvd",
                                 "sample_rate=48000", "channels=2"})
        EXPECT_NE(fields.find(expected), std::string::npos) << expected << "\n" << fields;
    EXPECT_NEAR(media::VideoFrameCount(target), 60, 4);
    const std::string list = Text(media::ReadFile(std::filesystem::path(target).replace_extension(".kvx")));
    EXPECT_EQ(list, "LMMP\r\n" + std::filesystem::path(target).filename().string() + ";" +
                        std::to_string(std::filesystem::file_size(target)) + "\r\n");
}

TEST_F(DeviceRoad, EverySettingShowsInTheNextCapture)
{
    const std::string before = Capture(1, "-before.mpg");
    ASSERT_EQ(0, Kstest("settings brightness=200 volume=-20").status);
    const std::string brighter = Capture(1, "-brighter.mpg");
    EXPECT_GT(MeanLuma(brighter), MeanLuma(before) + 20);
    EXPECT_LT(AudioLevelDb(brighter), AudioLevelDb(before) - 15);

    ASSERT_EQ(0, Kstest("settings standard=pal samplerate=44100").status);
    std::string fields = StreamFields(Capture(1, "-pal.mpg"));
    for (const char* expected : {"height=576", "r_frame_rate=25/1", "sample_rate=44100"})
        EXPECT_NE(fields.find(expected), std::string::npos) << expected << "\n" << fields;

    const Outcome mpeg1 = Kstest("settings mpeg1=1");
    fields = StreamFields(Capture(1, "-mpeg1.mpg"));
    EXPECT_NE(fields.find("codec_name=mpeg1video"), std::string::npos) << mpeg1.messages << fields;
    EXPECT_NE(fields.find("width=320"), std::string::npos) << fields;
}

TEST_F(DeviceRoad, SettingsKeepTheDialogsRangesUnlessDeveloper)
{
    Outcome outcome = Kstest("settings bitrate=12000000 peakbitrate=12000000");
    EXPECT_EQ(1, outcome.status);
    EXPECT_NE(outcome.messages.find("Enter value between 2000000 to 10000000"), std::string::npos)
        << outcome.messages;
    outcome = Kstest("settings byteswap=1");
    EXPECT_EQ(1, outcome.status);
    EXPECT_NE(outcome.messages.find("developer mode only"), std::string::npos) << outcome.messages;
    outcome = Kstest("settings --developer byteswap=1 size=352x240");
    EXPECT_EQ(0, outcome.status) << outcome.messages;
    EXPECT_NE(outcome.messages.find("byteswap     1"), std::string::npos) << outcome.messages;
    EXPECT_EQ(2, Kstest("settings bitrate").status);
}

TEST_F(DeviceRoad, ConvertedCapturePlaysWholeAndIsRecordedByteForByte)
{
    const std::string capture = Capture(2);
    const std::string c3s = Scratch(".c3s");
    ASSERT_EQ(0, Kstest("convert " + media::Quote(capture) + " " + media::Quote(c3s)).status);
    const std::vector<uint8_t> converted = media::ReadFile(c3s);
    C3StreamFile stream;
    ASSERT_TRUE(stream.Parse(converted));

    const std::string recording = Scratch("-recorded.c3s");
    ASSERT_EQ(ERROR_SUCCESS,
              RegWriteString(HKEY_CLASSES_ROOT,
                             L"CLSID\\{860BB310-5D01-11D0-BD3B-00A0C911CE86}\\Instance\\Orvastation",
                             L"RecordFile", Utf8ToWide(recording)));
    const Outcome played = Kstest("play " + media::Quote(c3s), "MARVEK_DEVICE_PACING=fast");
    ASSERT_EQ(0, played.status) << played.messages;
    EXPECT_NE(played.messages.find("played " + std::to_string(stream.Packets().size()) + " packets"),
              std::string::npos)
        << played.messages;
    EXPECT_NE(played.messages.find(" 0 violations"), std::string::npos) << played.messages;
    EXPECT_EQ(media::ReadFile(recording), converted);

    // The capture itself goes through the conversion graph into the device.
    const Outcome mpeg = Kstest("play " + media::Quote(capture), "MARVEK_DEVICE_PACING=fast");
    EXPECT_EQ(0, mpeg.status) << mpeg.messages;
    EXPECT_NE(mpeg.messages.find(" 0 violations"), std::string::npos) << mpeg.messages;
}

TEST_F(DeviceRoad, DamagedStreamIsCountedAndPlaysToItsEnd)
{
    const std::string capture = Capture(1);
    const std::string c3s = Scratch(".c3s");
    ASSERT_EQ(0, Kstest("convert " + media::Quote(capture) + " " + media::Quote(c3s)).status);
    std::vector<uint8_t> bytes = media::ReadFile(c3s);
    for (std::size_t at = 1000; at < bytes.size(); at += bytes.size() / 5)
        bytes[at] ^= 0xFF;
    bytes.resize(bytes.size() - 777);
    std::FILE* pFile = std::fopen(c3s.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), pFile);
    std::fclose(pFile);
    const Outcome played = Kstest("play " + media::Quote(c3s), "MARVEK_DEVICE_PACING=fast");
    EXPECT_EQ(0, played.status) << played.messages;
    EXPECT_EQ(played.messages.find(" 0 violations"), std::string::npos) << played.messages;
}

TEST_F(DeviceRoad, SegmentsAreCutAtTheSizeLimitAndListed)
{
    ASSERT_EQ(0, Kstest("settings bitrate=8000000 peakbitrate=8000000").status);
    const std::string target = Scratch(".mpg");
    ASSERT_EQ(0, Kstest("capture --seconds 3 --size-limit 1 " + media::Quote(target)).status);
    std::istringstream list(Text(media::ReadFile(std::filesystem::path(target).replace_extension(".kvx"))));
    std::string line;
    std::getline(list, line);
    EXPECT_EQ(line, "LMMP\r");
    int segments = 0;
    const std::filesystem::path folder = std::filesystem::path(target).parent_path();
    for (; std::getline(list, line); ++segments)
    {
        const std::string name = line.substr(0, line.find(';'));
        const std::uintmax_t size = std::stoull(line.substr(line.find(';') + 1));
        EXPECT_EQ(std::filesystem::file_size(folder / name), size) << name;
        EXPECT_LE(size, 1024u * 1024u) << name;
    }
    EXPECT_GE(segments, 3);
}

TEST_F(DeviceRoad, CtrlCStopsACaptureThroughItsStopRoutine)
{
    const std::string target = Scratch(".mpg");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        execl(KSTEST_PATH, KSTEST_PATH, "capture", target.c_str(), nullptr);
        _exit(127);
    }
    sleep(2);
    kill(child, SIGINT);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(0, WEXITSTATUS(status));
    EXPECT_GT(media::VideoFrameCount(target), 20);
    const std::string list = Text(media::ReadFile(std::filesystem::path(target).replace_extension(".kvx")));
    EXPECT_NE(list.find(";" + std::to_string(std::filesystem::file_size(target))), std::string::npos)
        << list;
}

TEST_F(DeviceRoad, CaptureOntoAFullDiskStopsAndKeepsEverySegmentBeforeIt)
{
    // A 2.5 MB tmpfs in a mount namespace of the command's own; what it held is copied
    // out before the namespace goes.
    const std::filesystem::path kept = Scratch("-kept");
    const std::filesystem::path disk = Scratch(".mnt");
    std::filesystem::remove_all(kept);
    std::filesystem::create_directories(kept);
    std::filesystem::create_directories(disk);
    const std::string inNamespace = "unshare --map-root-user --mount sh -c ";
    const std::string mount = "mount -t tmpfs -o size=2500k tmpfs " + media::Quote(disk.string());
    if (media::Run(inNamespace + media::Quote(mount) + " 2>/dev/null") != 0)
        GTEST_SKIP() << "no mount namespace here";
    const std::string script =
        mount + " && " + KSTEST_PATH + " capture --seconds 20 --size-limit 1 " +
        media::Quote((disk / "take.mpg").string()) + " 2>&1; status=$?; cp " +
        media::Quote(disk.string()) + "/take* " + media::Quote(kept.string()) + "; exit $status";
    int status = -1;
    const std::string messages = Text(media::CaptureOutput(inNamespace + media::Quote(script), &status));
    EXPECT_EQ(1, status) << messages;
    EXPECT_NE(messages.find("An operation was aborted because of an error: disk full"),
              std::string::npos)
        << messages;

    std::istringstream list(Text(media::ReadFile((kept / "take.kvx").string())));
    std::string line;
    std::getline(list, line);
    int segments = 0;
    for (; std::getline(list, line); ++segments)
    {
        const std::string name = line.substr(0, line.find(';'));
        const std::string size = line.substr(line.find(';') + 1, line.find('\r') - line.find(';') - 1);
        EXPECT_EQ(std::to_string(std::filesystem::file_size(kept / name)), size) << name;
        // Every listed segment is a program stream ffprobe reads.
        EXPECT_GT(media::VideoFrameCount((kept / name).string()), 0) << name;
    }
    EXPECT_GE(segments, 2) << messages;
}
