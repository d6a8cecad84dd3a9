// `kstest convert` over MPEG files made with ffmpeg, through the registered
// modules of this build (registered into a temporary registry first). The C3
// stream it writes must pass c3info's check; its video must decode to the
// source's pictures; its audio must be the source's audio at 48 kHz apart from
// the documented drift drops.

#include "C3StreamFile.h"
#include "MediaFiles.h"
#include "TestClips.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace
{
struct Outcome
{
    int status = -1;
    std::string messages;
};

void WriteBytes(const std::string& path, const uint8_t* pData, size_t cb)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(pData), std::streamsize(cb));
}

// The MD5 column of ffmpeg's framemd5 listing: one line per decoded picture.
std::vector<std::string> FrameHashes(const std::string& inputOptions)
{
    const std::vector<uint8_t> listing = media::CaptureOutput(
        "ffmpeg -nostdin -loglevel error " + inputOptions + " -map 0:v -f framemd5 -");
    std::vector<std::string> hashes;
    std::istringstream lines(std::string(listing.begin(), listing.end()));
    for (std::string line; std::getline(lines, line);)
    {
        if (!line.empty() && line[0] != '#')
            hashes.push_back(line.substr(line.rfind(',') + 1));
    }
    return hashes;
}

std::vector<uint8_t> DecodedAudio(const std::string& clip, const char* options)
{
    return media::CaptureOutput("ffmpeg -nostdin -loglevel error -i " + media::Quote(clip) +
                                " -map 0:a " + options + " -f s16le -");
}

// Each mono sample on both sides, as the ACM wrapper widens mono.
std::vector<uint8_t> MonoToStereo(const std::vector<uint8_t>& mono)
{
    std::vector<uint8_t> stereo;
    for (size_t i = 0; i + 1 < mono.size(); i += 2)
        stereo.insert(stereo.end(), {mono[i], mono[i + 1], mono[i], mono[i + 1]});
    return stereo;
}

// The audio the transformation filter packs at 29.97 frames per second: after
// every 60 units of cbUnit bytes it drops 192 bytes to stay in step with the video.
std::vector<uint8_t> WithDriftDrops(const std::vector<uint8_t>& pcm, size_t cbUnit)
{
    std::vector<uint8_t> packed;
    const size_t cbRun = 60 * cbUnit;
    for (size_t offset = 0; offset < pcm.size(); offset += cbRun + 192)
        packed.insert(packed.end(), pcm.begin() + long(offset),
                      pcm.begin() + long(std::min(pcm.size(), offset + cbRun)));
    return packed;
}

class ConvertEndToEnd : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_registry = UseFreshRegistry("registry.txt");
        ASSERT_EQ(0, media::Run(REGISTER_SCRIPT));
    }

    static void TearDownTestSuite() { std::filesystem::remove(s_registry); }

    // Points kstest at an empty registry file with no system-wide one behind it.
    static std::string UseFreshRegistry(const std::string& name)
    {
        const std::string registry = media::ScratchPath(name);
        std::filesystem::remove(registry);
        setenv("MARVEK_REGISTRY", registry.c_str(), 1);
        setenv("MARVEK_SYSTEM_REGISTRY", "", 1);
        return registry;
    }

    static Outcome Convert(const std::string& source, const std::string& target)
    {
        Outcome outcome;
        const std::vector<uint8_t> output =
            media::CaptureOutput(std::string(KSTEST_PATH) + " convert " + media::Quote(source) +
                                     " " + media::Quote(target) + " 2>&1",
                                 &outcome.status);
        outcome.messages.assign(output.begin(), output.end());
        return outcome;
    }

    static bool PassesCheck(const std::string& c3s)
    {
        return media::Run(std::string(C3INFO_PATH) + " --check --quiet " + media::Quote(c3s) +
                          " >/dev/null") == 0;
    }

    static std::string s_registry;
};

std::string ConvertEndToEnd::s_registry;

struct ClipCase
{
    const char* name;
    std::string (*make)();
    size_t unitsPerPacket;
    size_t cbUnit;
    bool bDriftDrops;
    const char* audioOptions; // how ffmpeg makes the expected 48 kHz stereo
    bool bMono;
    int maxSampleError; // resampling by two different runs may differ slightly
};

void PrintTo(const ClipCase& clip, std::ostream* os)
{
    *os << clip.name;
}

class ConvertClip : public ConvertEndToEnd, public testing::WithParamInterface<ClipCase>
{
};

TEST_P(ConvertClip, WritesACheckedStreamWithTheSourcesPicturesAndSound)
{
    const ClipCase& clip = GetParam();
    const std::string source = clip.make();
    ASSERT_FALSE(source.empty());
    const std::string target = media::ScratchPath(std::string(clip.name) + ".c3s");
    const Outcome outcome = Convert(source, target);
    ASSERT_EQ(0, outcome.status) << outcome.messages;
    EXPECT_TRUE(PassesCheck(target));

    C3StreamFile c3;
    ASSERT_TRUE(c3.Parse(media::ReadFile(target)));
    const std::vector<C3PacketView>& packets = c3.Packets();
    ASSERT_FALSE(packets.empty());
    for (size_t i = 0; i < packets.size(); ++i)
    {
        // Only the last packet may come short, where the source's audio ends first.
        if (i + 1 < packets.size())
        {
            EXPECT_EQ(clip.unitsPerPacket, packets[i].audioUnits) << "packet " << i;
        }
        EXPECT_LE(packets[i].audioUnits, clip.unitsPerPacket);
        EXPECT_TRUE(packets[i].audioUnitsWhole);
    }
    EXPECT_EQ(clip.cbUnit, c3.AudioUnitBytes());

    const std::string video = target + ".m2v";
    WriteBytes(video, c3.Video().data(), c3.Video().size());
    EXPECT_EQ(FrameHashes("-i " + media::Quote(source)),
              FrameHashes("-f mpegvideo -i " + media::Quote(video)));

    std::vector<uint8_t> expected = DecodedAudio(source, clip.audioOptions);
    if (clip.bMono)
        expected = MonoToStereo(expected);
    if (clip.bDriftDrops)
        expected = WithDriftDrops(expected, clip.cbUnit);
    const std::vector<uint8_t>& audio = c3.Audio();
    ASSERT_LE(audio.size(), expected.size());
    // All the audio the packets have room for is there, short of one unit at most.
    const size_t cbRoom = packets.size() * clip.unitsPerPacket * clip.cbUnit;
    EXPECT_GT(audio.size() + clip.cbUnit, std::min(expected.size(), cbRoom));
    int maxError = 0;
    for (size_t i = 0; i + 1 < audio.size(); i += 2)
    {
        const int got = int16_t(audio[i] | audio[i + 1] << 8);
        const int want = int16_t(expected[i] | expected[i + 1] << 8);
        maxError = std::max(maxError, std::abs(got - want));
    }
    EXPECT_LE(maxError, clip.maxSampleError);
    std::filesystem::remove(target);
    std::filesystem::remove(video);
}

INSTANTIATE_TEST_SUITE_P(
    Clips, ConvertClip,
    testing::Values(ClipCase{"Mpeg2Ntsc", clips::Mpeg2Ntsc, 2, 3200, true, "-ac 2", false, 0},
                    ClipCase{"Mpeg2Pal", clips::Mpeg2Pal, 4, 1920, false, "-ac 2", false, 0},
                    ClipCase{"Mpeg1At44kHz", clips::Mpeg1System, 2, 3200, true, "-ar 48000 -ac 2",
                             false, 2},
                    ClipCase{"MonoAudio", clips::Mpeg2Mono, 4, 1920, false, "-ac 1", true, 0},
                    ClipCase{"LpcmAudio", clips::Mpeg2Lpcm, 2, 3200, true, "-ac 2", false, 0}),
    [](const testing::TestParamInfo<ClipCase>& info) { return info.param.name; });

// Conversions of fixed clips keep their bytes: each output's MD5 is the one the conversion
// has always written for that clip. The source's own MD5 is checked first, since an
// ffmpeg that encodes differently makes a clip these values do not describe.
TEST_F(ConvertEndToEnd, FixedClipsConvertToTheSameBytesAsEver)
{
    struct Pinned
    {
        const char* name;
        std::string (*make)();
        const char* sourceMd5;
        const char* outputMd5;
    };
    const Pinned pinned[] = {
        {"ntsc", clips::Mpeg2Ntsc, "4360de6c7d09755199d2cfaa492083f7",
         "7bc9b9e60743cb30910642cc396a5890"},
        {"pal", clips::Mpeg2Pal, "65eec961fd916fef712a3afcb68609d1",
         "8cb4cea708b430469327d19eb6927a6d"},
        {"mpeg1", clips::Mpeg1System, "3b8e91894bd98fec6ff45d285c09e9de",
         "9a14245fe2563d507a55cff36eaee2b4"},
        {"lpcm", clips::Mpeg2Lpcm, "d3840eca6ff72ef2c8751252b15930ab",
         "46f25ee10c77c36228333c249956b628"},
        {"ac3", clips::Mpeg2Ac3, "9d902dc05ea01e63da92faf0e25713a0",
         "56ee854556ba3b8d40a19e4ebac64c94"},
        {"audio-late", clips::AudioFiveSecondsLate, "49d1cc29b9e2d582bfcd07eaf45599aa",
         "089068962b8944f4a32ab89f0a042327"},
    };
    auto md5 = [](const std::string& path)
    {
        const std::vector<uint8_t> out = media::CaptureOutput("md5sum < " + media::Quote(path));
        return std::string(out.begin(), out.begin() + std::min<size_t>(out.size(), 32));
    };
    int compared = 0;
    for (const Pinned& clip : pinned)
    {
        SCOPED_TRACE(clip.name);
        const std::string source = clip.make();
        ASSERT_FALSE(source.empty());
        if (md5(source) != clip.sourceMd5)
            continue;
        const std::string target = media::ScratchPath(std::string("pinned-") + clip.name + ".c3s");
        const Outcome outcome = Convert(source, target);
        ASSERT_EQ(0, outcome.status) << outcome.messages;
        EXPECT_EQ(clip.outputMd5, md5(target));
        std::filesystem::remove(target);
        ++compared;
    }
    if (compared == 0)
        GTEST_SKIP() << "this ffmpeg makes other clips than the ones whose conversions are pinned";
}

TEST_F(ConvertEndToEnd, MissingFileCannotBeOpened)
{
    const Outcome outcome = Convert(media::ScratchPath("missing.mpg"), media::ScratchPath("x.c3s"));
    EXPECT_EQ(1, outcome.status);
    EXPECT_NE(std::string::npos, outcome.messages.find("Unable to Open file"));
    EXPECT_NE(std::string::npos, outcome.messages.find("Error occurred during Playback"));
}

TEST_F(ConvertEndToEnd, TargetThatCannotBeCreatedIsReportedAndNoDirectoryIsRemoved)
{
    const std::string missingDir = media::ScratchPath("no-such-dir") + "/x.c3s";
    const std::string dir = media::ScratchPath("target-dir.c3s");
    std::filesystem::create_directory(dir);
    for (const std::string& target : {missingDir, dir})
    {
        const Outcome outcome = Convert(clips::Mpeg2Pal(), target);
        EXPECT_EQ(1, outcome.status) << outcome.messages;
        EXPECT_NE(std::string::npos, outcome.messages.find("Unable to Open file"))
            << outcome.messages;
        EXPECT_NE(std::string::npos, outcome.messages.find("Error occurred during Playback: "));
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir));
    std::filesystem::remove(dir);
}

TEST_F(ConvertEndToEnd, EmptyOrRandomFilesAreRefusedWithAReason)
{
    std::vector<uint8_t> noise(200000);
    uint32_t state = 99;
    for (auto& byte : noise)
        byte = uint8_t((state = state * 1664525 + 1013904223) >> 24);
    for (const auto& bytes : {std::vector<uint8_t>{}, noise})
    {
        const std::string source = media::ScratchPath("bad.mpg");
        WriteBytes(source, bytes.data(), bytes.size());
        const Outcome outcome = Convert(source, media::ScratchPath("bad.c3s"));
        EXPECT_EQ(1, outcome.status) << outcome.messages;
        EXPECT_NE(std::string::npos, outcome.messages.find("Error occurred during Playback: "));
        std::filesystem::remove(source);
    }
}

TEST_F(ConvertEndToEnd, VideoOnlyFileIsRefusedForWantOfAudio)
{
    const Outcome outcome = Convert(clips::Mpeg2VideoOnly(), media::ScratchPath("v.c3s"));
    EXPECT_EQ(1, outcome.status);
    EXPECT_NE(std::string::npos, outcome.messages.find("no audio stream found"))
        << outcome.messages;
}

TEST_F(ConvertEndToEnd, TruncatedFileConvertsWhatItHolds)
{
    const std::vector<uint8_t> whole = media::ReadFile(clips::Mpeg2Pal());
    const std::string source = media::ScratchPath("truncated.mpg");
    WriteBytes(source, whole.data(), whole.size() * 6 / 10 + 1234);
    const std::string target = media::ScratchPath("truncated.c3s");
    const Outcome outcome = Convert(source, target);
    EXPECT_EQ(0, outcome.status) << outcome.messages;
    EXPECT_TRUE(PassesCheck(target));
    std::filesystem::remove(source);
    std::filesystem::remove(target);
}

TEST_F(ConvertEndToEnd, SegmentListConvertsAsOneStreamAndReplacesTheTarget)
{
    const std::string clip = clips::Mpeg2Ntsc();
    const std::string whole = media::ScratchPath("whole.c3s");
    ASSERT_EQ(0, Convert(clip, whole).status);

    // Three segments cut at arbitrary bytes, listed by bare name beside the list.
    const std::vector<uint8_t> bytes = media::ReadFile(clip);
    const std::string list = media::ScratchPath("take.kvx");
    const std::filesystem::path dir = std::filesystem::path(list).parent_path();
    std::ofstream listFile(list);
    listFile << "LMMP\n";
    const size_t cuts[] = {0, bytes.size() / 3 + 17, bytes.size() * 2 / 3 + 5, bytes.size()};
    for (int i = 0; i < 3; ++i)
    {
        const std::string name =
            "take-segment-" + std::to_string(getpid()) + "-" + std::to_string(i);
        WriteBytes((dir / name).string(), bytes.data() + cuts[i], cuts[i + 1] - cuts[i]);
        listFile << name << "\n";
    }
    listFile.close();

    const std::string target = media::ScratchPath("list.c3s");
    WriteBytes(target, bytes.data(), bytes.size()); // to be replaced
    const Outcome outcome = Convert(list, target);
    ASSERT_EQ(0, outcome.status) << outcome.messages;
    EXPECT_TRUE(PassesCheck(target));
    EXPECT_EQ(media::ReadFile(whole), media::ReadFile(target));
    for (int i = 0; i < 3; ++i)
        std::filesystem::remove(
            dir / ("take-segment-" + std::to_string(getpid()) + "-" + std::to_string(i)));
    std::filesystem::remove(list);
    std::filesystem::remove(target);
    std::filesystem::remove(whole);
}

// A target that outgrows its disk: kstest reports the failure with its reason and what the
// target keeps, and the target holds whole packets, byte for byte the first ones of a
// conversion that had room, listed with their size. The disk is a file-size limit on the
// process, or a small tmpfs where the machine lets a user mount one (in a namespace of its
// own). kstest starts with SIGXFSZ at its default, so the limit would kill it unless it
// ignores the signal.
struct FullDisk
{
    const char* name;
    const char* reason;
    // Runs kstest convert on the source into a target of this name on the small disk; the
    // target and its list end up beside keptTarget, a tmpfs is mounted on keptTarget + ".mnt".
    // Empty when this disk cannot be had.
    std::string (*command)(const std::string& source, const std::string& keptTarget);
};

void PrintTo(const FullDisk& disk, std::ostream* os)
{
    *os << disk.name;
}

constexpr int kSmallDiskBytes = 700000;

std::string WithFileSizeLimit(const std::string& source, const std::string& target)
{
    return "prlimit --fsize=" + std::to_string(kSmallDiskBytes) + " " + KSTEST_PATH + " convert " +
           media::Quote(source) + " " + media::Quote(target);
}

std::string OnSmallTmpfs(const std::string& source, const std::string& keptTarget)
{
    const std::filesystem::path kept(keptTarget);
    const std::string mountPoint = keptTarget + ".mnt";
    std::filesystem::create_directory(mountPoint);
    // The tmpfs lives as long as the command, in a mount namespace of its own.
    const std::string mount =
        "unshare --map-root-user --mount sh -c " +
        media::Quote("mount -t tmpfs -o size=" + std::to_string(kSmallDiskBytes / 1024) +
                     "k tmpfs " + media::Quote(mountPoint) + " && eval \"$0\"");
    if (media::Run(mount + " true 2>/dev/null") != 0)
        return {};
    const std::filesystem::path target = std::filesystem::path(mountPoint) / kept.filename();
    const std::string list = target.stem().string() + ".kvx";
    return mount + " " +
           media::Quote(std::string(KSTEST_PATH) + " convert " + media::Quote(source) + " " +
                        media::Quote(target.string()) + "; status=$?; cp " +
                        media::Quote(target.string()) + " " +
                        media::Quote((std::filesystem::path(mountPoint) / list).string()) + " " +
                        media::Quote(kept.parent_path().string()) + "; exit $status");
}

class ConvertOntoAFullDisk : public ConvertEndToEnd, public testing::WithParamInterface<FullDisk>
{
};

TEST_P(ConvertOntoAFullDisk, ReportsTheErrorAndKeepsWholePackets)
{
    const std::string clip = clips::Mpeg2Ntsc();
    const std::string whole = media::ScratchPath("roomy.c3s");
    ASSERT_EQ(0, Convert(clip, whole).status);
    const std::vector<uint8_t> wholeBytes = media::ReadFile(whole);
    ASSERT_GT(wholeBytes.size(), size_t(kSmallDiskBytes));

    const std::string target = media::ScratchPath("full.c3s");
    const std::string command = GetParam().command(clip, target);
    if (command.empty())
        GTEST_SKIP() << "no tmpfs can be mounted here";
    int status = 0;
    const std::vector<uint8_t> output = media::CaptureOutput(command + " 2>&1", &status);
    const std::string messages(output.begin(), output.end());
    EXPECT_EQ(1, status) << messages;

    const std::vector<uint8_t> kept = media::ReadFile(target);
    ASSERT_FALSE(kept.empty()) << messages;
    EXPECT_NE(std::string::npos,
              messages.find(std::string("An operation was aborted because of an error: ") +
                            GetParam().reason))
        << messages;
    EXPECT_NE(std::string::npos,
              messages.find("keeps the first " + std::to_string(kept.size()) + " bytes"))
        << messages;
    EXPECT_TRUE(PassesCheck(target));
    EXPECT_TRUE(std::equal(kept.begin(), kept.end(), wholeBytes.begin()));
    const std::filesystem::path list = std::filesystem::path(target).replace_extension(".kvx");
    const std::vector<uint8_t> listBytes = media::ReadFile(list.string());
    EXPECT_EQ("LMMP\r\n" + std::filesystem::path(target).filename().string() + ";" +
                  std::to_string(kept.size()) + "\r\n",
              std::string(listBytes.begin(), listBytes.end()));
    for (const std::string& path : {whole, target, list.string(), target + ".mnt"})
        std::filesystem::remove(path);
    std::filesystem::remove(std::filesystem::path(whole).replace_extension(".kvx"));
}

INSTANTIATE_TEST_SUITE_P(Disks, ConvertOntoAFullDisk,
                         testing::Values(FullDisk{"FileSizeLimit", "file too large",
                                                  WithFileSizeLimit},
                                         FullDisk{"SmallTmpfs", "disk full", OnSmallTmpfs}),
                         [](const testing::TestParamInfo<FullDisk>& info)
                         { return info.param.name; });
} // namespace

TEST_F(ConvertEndToEnd, WithoutRegisteredModulesItNamesTheCommandThatRegistersThem)
{
    const std::string registry = UseFreshRegistry("unregistered.txt");
    const std::string target = media::ScratchPath("unregistered.c3s");
    const Outcome refused = Convert(clips::Mpeg2Pal(), target);
    EXPECT_EQ(1, refused.status);
    EXPECT_NE(std::string::npos,
              refused.messages.find("the filter modules are not registered in " + registry +
                                    "; register them by running: " REGISTER_SCRIPT))
        << refused.messages;

    EXPECT_EQ(0, media::Run(REGISTER_SCRIPT));
    EXPECT_EQ(0, Convert(clips::Mpeg2Pal(), target).status);
    std::filesystem::remove(registry);
    std::filesystem::remove(target);
    setenv("MARVEK_REGISTRY", s_registry.c_str(), 1);
}
