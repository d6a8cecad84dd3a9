#include "WriterFixture.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
constexpr rlim_t kFileSizeLimit = 10000;

// Runs body in a child process whose files cannot grow past kFileSizeLimit bytes, as on a
// full disk; returns the child's exit code, which body makes 0 when its checks pass.
int RunOnAFullDisk(const std::function<int()>& body)
{
    const pid_t child = ::fork();
    if (child == 0)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{kFileSizeLimit, kFileSizeLimit};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// 700-byte samples that each begin with a pack header.
std::vector<std::uint8_t> Sample(std::size_t cb, std::size_t index)
{
    std::vector<std::uint8_t> bytes = CountingBytes(cb, 7 + index);
    std::ranges::replace(bytes, std::uint8_t{0}, std::uint8_t{0x20});
    bytes[0] = 0x00;
    bytes[1] = 0x00;
    bytes[2] = 0x01;
    bytes[3] = 0xBA;
    return bytes;
}
} // namespace

class WriterDiskErrorTest : public WriterFixture, public ::testing::WithParamInterface<bool>
{
};

TEST_P(WriterDiskErrorTest, FailedWriteIsReportedAndEverythingBeforeItIsListed)
{
    writer.SetSegmentSizeKB(4);
    writer.SetPackAlignedCut(GetParam());
    StartRecording();
    std::vector<std::vector<std::uint8_t>> samples;
    for (std::size_t i = 0; i < 12; ++i)
        samples.push_back(Sample(700, i));
    samples.push_back(Sample(3 * kFileSizeLimit, 12)); // overruns a fresh segment

    const int childResult = RunOnAFullDisk(
        [&]
        {
            for (std::size_t i = 0; i + 1 < samples.size(); ++i)
                if (!writer.Write(samples[i]).Succeeded())
                    return 1;
            const FileStatus failed = writer.Write(samples.back());
            if (failed.errorNumber != EFBIG)
                return 2;
            if (writer.Write(samples[0]).errorNumber != EFBIG) // later samples refused too
                return 3;
            writer.Stop();
            return 0;
        });
    ASSERT_EQ(childResult, 0);

    for (const auto& sample : samples)
        sent.insert(sent.end(), sample.begin(), sample.end());
    const std::vector<std::uint8_t> written = JoinedSegments();
    const auto entries = ListEntries();
    ASSERT_GE(entries.size(), 3u);
    EXPECT_EQ(entries.back().second, kFileSizeLimit);
    ASSERT_LE(written.size(), sent.size());
    EXPECT_TRUE(std::equal(written.begin(), written.end(), sent.begin()));
}

INSTANTIATE_TEST_SUITE_P(BothCuttingModes, WriterDiskErrorTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "PackAligned" : "Plain"; });

using WriterOpenFailureTest = WriterFixture;

TEST_F(WriterOpenFailureTest, SegmentThatCannotBeOpenedRefusesTheStream)
{
    std::filesystem::create_directory(dir / "sub");
    ASSERT_TRUE(writer.SetFileName(dir / "sub/take.mpg").Succeeded());
    std::filesystem::remove_all(dir / "sub");

    EXPECT_EQ(writer.Pause().errorNumber, ENOENT);
    EXPECT_EQ(writer.Write(CountingBytes(10)).errorNumber, ENOENT);
    writer.Stop();
    EXPECT_TRUE(writer.Write(CountingBytes(10)).Succeeded()) << "stopped: dropped";
}
