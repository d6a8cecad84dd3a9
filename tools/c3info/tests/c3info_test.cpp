// Runs c3gen and c3info as programs: a generated stream passes the check, and each kind of
// damage fails it at the right offset.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace
{
using Bytes = std::vector<char>;

struct CResult
{
    int nExitCode = -1;
    std::string strOutput;
};

CResult RunCommand(const std::string& strCommand)
{
    CResult result;
    FILE* pPipe = ::popen((strCommand + " 2>&1").c_str(), "r");
    if (!pPipe)
        return result;
    char szBuffer[4096];
    while (std::size_t cb = std::fread(szBuffer, 1, sizeof szBuffer, pPipe))
        result.strOutput.append(szBuffer, cb);
    const int nStatus = ::pclose(pPipe);
    result.nExitCode = WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
    return result;
}

class C3InfoCheck : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(RunCommand(std::string(C3GEN_PATH) + " --packets 5 " + m_strGood).nExitCode, 0);
        std::ifstream in(m_strGood, std::ios::binary);
        m_good.assign(std::istreambuf_iterator<char>(in), {});
        // Five packets of 28-byte headers, 6448 audio bytes and I/B/B/P/B pictures.
        ASSERT_EQ(m_good.size(), 5 * (28 + 6448) + 20000 + 8000 + 3 * 4000u);
    }
    void TearDown() override
    {
        std::filesystem::remove(m_strGood);
        std::filesystem::remove(m_strBroken);
    }

    CResult CheckBroken(const Bytes& bytes) const
    {
        std::ofstream(m_strBroken, std::ios::binary).write(bytes.data(), bytes.size());
        return RunCommand(std::string(C3INFO_PATH) + " --check --quiet " + m_strBroken);
    }

    static void ExpectFailureAt(const CResult& result, std::size_t nOffset)
    {
        EXPECT_EQ(result.nExitCode, 1) << result.strOutput;
        EXPECT_NE(result.strOutput.find("FAILED at offset " + std::to_string(nOffset) + ":"),
                  std::string::npos)
            << result.strOutput;
    }

    // CTest runs the cases in parallel processes: each gets its own files.
    static std::string TempPath(const char* pszKind)
    {
        return testing::TempDir() + "c3info_" +
               testing::UnitTest::GetInstance()->current_test_info()->name() + "_" + pszKind +
               ".c3s";
    }

    const std::string m_strGood = TempPath("good");
    const std::string m_strBroken = TempPath("broken");
    Bytes m_good;
    // The second packet (a B picture) starts after the I packet.
    const std::size_t m_nSecond = 28 + 20000 + 6448;
};

TEST_F(C3InfoCheck, GoodStreamPasses)
{
    const CResult result = RunCommand(std::string(C3INFO_PATH) + " --check " + m_strGood);
    EXPECT_EQ(result.nExitCode, 0) << result.strOutput;
    EXPECT_NE(result.strOutput.find("packets      5 (I 1, P 1, B 3, other 0)"), std::string::npos)
        << result.strOutput;
    EXPECT_NE(result.strOutput.find("check        OK"), std::string::npos);
    // One listing line per packet: the second one at its offset, a B picture.
    EXPECT_NE(result.strOutput.find(std::to_string(m_nSecond) + " B"), std::string::npos)
        << result.strOutput;
}

TEST_F(C3InfoCheck, DamagedStreamsFailAtTheFirstViolation)
{
    Bytes bytes = m_good;
    bytes[m_nSecond + 3] = 0x00; // marker
    ExpectFailureAt(CheckBroken(bytes), m_nSecond);

    bytes = m_good;
    bytes[m_nSecond + 7] = 0x20; // header length 32
    ExpectFailureAt(CheckBroken(bytes), m_nSecond);

    bytes = m_good;
    bytes[m_nSecond + 23] ^= 0x01; // previous length
    ExpectFailureAt(CheckBroken(bytes), m_nSecond);

    bytes = m_good;
    bytes.resize(m_nSecond + 100); // payload cut by the end of the file
    ExpectFailureAt(CheckBroken(bytes), m_nSecond);

    bytes = m_good;
    bytes.resize(m_nSecond + 10); // header cut
    ExpectFailureAt(CheckBroken(bytes), m_nSecond);

    bytes = m_good;
    bytes.insert(bytes.end(), {'x', 'y'}); // trailing bytes
    ExpectFailureAt(CheckBroken(bytes), m_good.size());
}

TEST_F(C3InfoCheck, UsageErrorsAndAnEmptyFile)
{
    EXPECT_EQ(RunCommand(std::string(C3INFO_PATH) + " --bogus " + m_strGood).nExitCode, 2);
    EXPECT_EQ(RunCommand(std::string(C3INFO_PATH) + " " + m_strGood + ".missing").nExitCode, 2);
    // An empty file holds no packets and breaks no rule.
    EXPECT_EQ(CheckBroken({}).nExitCode, 0);
}
} // namespace
