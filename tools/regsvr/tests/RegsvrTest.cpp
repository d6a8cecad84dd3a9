// Runs the regsvr program on test modules and checks its exit status, messages
// and effect on the registry.

#include "ChildProcess.h"
#include "TemporaryRegistry.h"
#include "com/Registry.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace
{

struct RunResult
{
    int status = -1;
    std::string output; // standard output and error together
};

RunResult RunRegsvr(const std::string& arguments, const std::string& environment = "")
{
    std::string command = environment + " " REGSVR_PATH " " + arguments + " 2>&1";
    RunResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 256> buffer;
    while (std::fgets(buffer.data(), int(buffer.size()), pipe))
        result.output += buffer.data();
    int raw = ::pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

std::string RegisteredValue(LPCWSTR name = nullptr)
{
    std::wstring value;
    if (RegReadString(HKEY_CLASSES_ROOT, L"RegsvrTest", name, value) != ERROR_SUCCESS)
        return "";
    return std::string(value.begin(), value.end());
}

std::vector<std::string> BuiltModules()
{
    std::vector<std::string> modules;
    std::ifstream list(MARVEK_MODULES_LIST);
    for (std::string line; std::getline(list, line);)
        if (!line.empty())
            modules.push_back(line);
    return modules;
}

/// Starts `regsvr -s module` without waiting for it.
pid_t StartSilentRegistration(const std::string& module)
{
    return SpawnChild(
        [&]
        {
            ::execl(REGSVR_PATH, REGSVR_PATH, "-s", module.c_str(), nullptr);
            return 127;
        });
}

/// Every class's InprocServer32 module path, by class identifier.
std::map<std::wstring, std::wstring> RegisteredServers()
{
    std::map<std::wstring, std::wstring> servers;
    HKEY classes = nullptr;
    if (RegOpenKeyW(HKEY_CLASSES_ROOT, L"CLSID", &classes) != ERROR_SUCCESS)
        return servers;
    wchar_t name[64];
    for (DWORD i = 0; RegEnumKeyW(classes, i, name, 64) == ERROR_SUCCESS; ++i)
    {
        std::wstring path;
        if (RegReadString(classes, (std::wstring(name) + L"\\InprocServer32").c_str(), nullptr,
                          path) == ERROR_SUCCESS)
            servers[name] = path;
    }
    RegCloseKey(classes);
    return servers;
}

class RegsvrTest : public ::testing::Test
{
protected:
    TemporaryRegistry m_registry;
};

} // namespace

TEST_F(RegsvrTest, RegistersAndUnregisters)
{
    RunResult registered = RunRegsvr(TEST_MODULE);
    EXPECT_EQ(registered.status, 0) << registered.output;
    EXPECT_NE(registered.output.find("DllRegisterServer"), std::string::npos);
    EXPECT_EQ(RegisteredValue(), "registered");

    RunResult silent = RunRegsvr("-u -s " TEST_MODULE);
    EXPECT_EQ(silent.status, 0) << silent.output;
    EXPECT_EQ(silent.output, "");
    EXPECT_EQ(RegisteredValue(), "");
}

TEST_F(RegsvrTest, FailuresGiveRegsvr32ExitStatusAndAClearMessage)
{
    EXPECT_EQ(RunRegsvr("").status, 1);
    EXPECT_EQ(RunRegsvr("-x " TEST_MODULE).status, 1);

    RunResult missing = RunRegsvr("/nonexistent/module.so");
    EXPECT_EQ(missing.status, 3);
    EXPECT_NE(missing.output.find("cannot load /nonexistent/module.so"), std::string::npos)
        << missing.output;

    RunResult noEntry = RunRegsvr(NO_ENTRY_MODULE);
    EXPECT_EQ(noEntry.status, 4);
    EXPECT_NE(noEntry.output.find("has no DllRegisterServer entry point"), std::string::npos)
        << noEntry.output;

    RunResult refused = RunRegsvr(TEST_MODULE, "REGSVR_TEST_FAIL=1");
    EXPECT_EQ(refused.status, 5);
    EXPECT_NE(refused.output.find("failed: 0x80070005"), std::string::npos) << refused.output;

    // The first failure decides the status; the other modules are still processed.
    RunResult mixed = RunRegsvr(NO_ENTRY_MODULE " " TEST_MODULE);
    EXPECT_EQ(mixed.status, 4);
    EXPECT_EQ(RegisteredValue(), "registered");
}

TEST(RegsvrConcurrency, SimultaneousRunsForEveryModuleKeepEveryRegistration)
{
    std::map<std::wstring, std::wstring> expected;
    {
        TemporaryRegistry oneAtATime;
        for (const std::string& module : BuiltModules())
            ASSERT_EQ(WaitForChild(StartSilentRegistration(module)), 0) << module;
        expected = RegisteredServers();
    }
    ASSERT_FALSE(expected.empty());

    TemporaryRegistry fresh;
    constexpr int kRunsPerModule = 6;
    std::vector<pid_t> runs;
    for (int i = 0; i < kRunsPerModule; ++i)
        for (const std::string& module : BuiltModules())
            runs.push_back(StartSilentRegistration(module));
    for (pid_t run : runs)
        EXPECT_EQ(WaitForChild(run), 0);
    EXPECT_EQ(RegisteredServers(), expected);
}

TEST_F(RegsvrTest, InstallOptionCallsDllInstallInRegsvr32sOrder)
{
    // DllInstall runs after DllRegisterServer, which creates the key it needs.
    RunResult installed = RunRegsvr("-i:Second " TEST_MODULE);
    EXPECT_EQ(installed.status, 0) << installed.output;
    EXPECT_EQ(RegisteredValue(L"Installed"), "Second");
    EXPECT_EQ(RunRegsvr("/n /i " TEST_MODULE).status, 0);
    EXPECT_EQ(RegisteredValue(L"Installed"), "(null)");

    // -n leaves the registration alone; -u uninstalls before unregistering.
    EXPECT_EQ(RunRegsvr("-u -n -i:Second " TEST_MODULE).status, 0);
    EXPECT_EQ(RegisteredValue(L"Installed"), "");
    EXPECT_EQ(RegisteredValue(), "registered");
    EXPECT_EQ(RunRegsvr("-i:Again " TEST_MODULE).status, 0);
    EXPECT_EQ(RunRegsvr("-u -i:Again " TEST_MODULE).status, 0);
    EXPECT_EQ(RegisteredValue(), "");

    EXPECT_EQ(RunRegsvr("-n " TEST_MODULE).status, 1); // -n needs -i
    RunResult noEntry = RunRegsvr("-n -i:x " NO_ENTRY_MODULE);
    EXPECT_EQ(noEntry.status, 4);
    EXPECT_NE(noEntry.output.find("has no DllInstall entry point"), std::string::npos)
        << noEntry.output;
}
