// Threads of one process changing and reading the registry at once, with a system-wide
// file behind it, so that the merged view is rebuilt while others read it.

#include "TemporaryRegistry.h"
#include "com/Registry.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

TEST(RegistryThreads, WritersAndReadersOfOneProcessKeepEveryChange)
{
    TemporaryRegistry registry;
    const std::string systemFile = (registry.Folder() / "system.txt").string();
    std::ofstream(systemFile) << "[HKEY_CURRENT_USER\\Software\\Shared]\n@=\"system\"\n";
    ::setenv("MARVEK_SYSTEM_REGISTRY", systemFile.c_str(), 1);

    constexpr int kWriters = 4;
    constexpr int kChanges = 50;
    std::atomic<int> failures{0};
    std::atomic<bool> writing{true};
    std::thread reader(
        [&]
        {
            while (writing)
            {
                std::wstring value;
                if (RegReadString(HKEY_CURRENT_USER, L"Software\\Shared", nullptr, value) !=
                        ERROR_SUCCESS ||
                    value != L"system")
                    ++failures;
            }
        });
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w)
        writers.emplace_back(
            [&, w]
            {
                for (int c = 0; c < kChanges; ++c)
                    if (RegWriteString(
                            HKEY_CURRENT_USER, L"Software\\Shared",
                            (L"W" + std::to_wstring(w) + L"C" + std::to_wstring(c)).c_str(),
                            L"x") != ERROR_SUCCESS)
                        ++failures;
            });
    for (std::thread& writer : writers)
        writer.join();
    writing = false;
    reader.join();
    EXPECT_EQ(failures, 0);

    HKEY shared = nullptr;
    ASSERT_EQ(RegOpenKeyW(HKEY_CURRENT_USER, L"Software\\Shared", &shared), ERROR_SUCCESS);
    DWORD count = 0;
    wchar_t name[16];
    for (DWORD length = 16; RegEnumValueW(shared, count, name, &length, nullptr, nullptr, nullptr,
                                          nullptr) == ERROR_SUCCESS;
         length = 16)
        ++count;
    RegCloseKey(shared);
    EXPECT_EQ(count, DWORD(kWriters * kChanges + 1)); // with the system file's default value
}
