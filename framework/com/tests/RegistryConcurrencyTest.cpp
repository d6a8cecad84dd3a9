// The registry file under several writing processes at once, and under writers
// that die half way through a change.

#include "ChildProcess.h"
#include "TemporaryRegistry.h"
#include "com/Registry.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <random>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace
{

std::wstring ReadValue(const std::wstring& key, const std::wstring& name, LONG& result)
{
    std::wstring value;
    result = RegReadString(HKEY_CURRENT_USER, key.c_str(), name.c_str(), value);
    return value;
}

/// A value long enough that writing the file takes many write calls, and whose
/// every character shows which generation wrote it.
std::wstring Generation(int number)
{
    return std::wstring(200000, wchar_t(L'a' + number % 26));
}

class RegistryConcurrency : public ::testing::Test
{
protected:
    TemporaryRegistry m_registry;
};

} // namespace

TEST_F(RegistryConcurrency, EveryChangeOfConcurrentWritersIsKept)
{
    constexpr int kWriters = 8;
    constexpr int kChanges = 50;
    std::vector<pid_t> writers;
    for (int w = 0; w < kWriters; ++w)
    {
        writers.push_back(SpawnChild(
            [w]
            {
                int failures = 0;
                std::wstring key = L"Software\\Writers\\W" + std::to_wstring(w);
                for (int c = 0; c < kChanges; ++c)
                    failures += RegWriteString(HKEY_CURRENT_USER, key.c_str(),
                                               (L"V" + std::to_wstring(c)).c_str(),
                                               std::to_wstring(w * 1000 + c)) != ERROR_SUCCESS;
                return failures;
            }));
    }
    // A reader meanwhile never meets a half-written file.
    int readFailures = 0;
    for (int i = 0; i < 200; ++i)
    {
        LONG result = ERROR_SUCCESS;
        ReadValue(L"Software\\Writers\\W0", L"V0", result);
        readFailures += result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND;
    }
    for (pid_t writer : writers)
        EXPECT_EQ(WaitForChild(writer), 0);
    EXPECT_EQ(readFailures, 0);

    for (int w = 0; w < kWriters; ++w)
    {
        for (int c = 0; c < kChanges; ++c)
        {
            LONG result = ERROR_SUCCESS;
            std::wstring value = ReadValue(L"Software\\Writers\\W" + std::to_wstring(w),
                                           L"V" + std::to_wstring(c), result);
            EXPECT_EQ(result, ERROR_SUCCESS) << "writer " << w << " change " << c;
            EXPECT_EQ(value, std::to_wstring(w * 1000 + c));
        }
    }
}

TEST_F(RegistryConcurrency, WriterKilledHalfWayLeavesTheOldOrNewFileAndNoLock)
{
    ASSERT_EQ(RegWriteString(HKEY_CURRENT_USER, L"Software\\Killed", L"Data", Generation(0)),
              ERROR_SUCCESS);

    // A file size limit kills the writer (SIGXFSZ) in the middle of writing the new
    // file, while it holds the lock: the old file stays.
    pid_t limited = SpawnChild(
        []
        {
            struct rlimit none = {0, 0};
            ::setrlimit(RLIMIT_CORE, &none);
            struct rlimit small = {100000, 100000};
            ::setrlimit(RLIMIT_FSIZE, &small);
            return int(
                RegWriteString(HKEY_CURRENT_USER, L"Software\\Killed", L"Data", Generation(1)));
        });
    EXPECT_EQ(WaitForChild(limited), 128 + SIGXFSZ);
    LONG result = ERROR_SUCCESS;
    EXPECT_EQ(ReadValue(L"Software\\Killed", L"Data", result), Generation(0));

    // SIGKILL at arbitrary moments of a run of changes: every file read back is
    // whole, and the next writer gets the lock at once.
    std::mt19937 random(7);
    for (int round = 1; round <= 20; ++round)
    {
        pid_t writer = SpawnChild(
            [round]
            {
                for (int generation = round;; generation += 100)
                    RegWriteString(HKEY_CURRENT_USER, L"Software\\Killed", L"Data",
                                   Generation(generation));
                return 0;
            });
        ::usleep(useconds_t(random() % 30000));
        ::kill(writer, SIGKILL);
        EXPECT_EQ(WaitForChild(writer), 128 + SIGKILL);

        std::wstring value = ReadValue(L"Software\\Killed", L"Data", result);
        ASSERT_EQ(result, ERROR_SUCCESS) << "round " << round;
        EXPECT_EQ(value, Generation(value.empty() ? 0 : value[0] - L'a')) << "round " << round;

        auto before = std::chrono::steady_clock::now();
        EXPECT_EQ(RegWriteString(HKEY_CURRENT_USER, L"Software\\Killed", L"Data", Generation(0)),
                  ERROR_SUCCESS);
        EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(5));
    }
}
