#include "com/Registry.h"
#include "TemporaryRegistry.h"
#include "com/HResult.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <set>
#include <sstream>
#include <sys/resource.h>

namespace
{

std::string ReadText(const std::filesystem::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

/// The names in a folder, sorted.
std::set<std::string> FolderEntries(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

const std::set<std::string> kRegistryAndLock = {"registry.txt", "registry.txt.lock"};

LONG SetString(HKEY key, const wchar_t* name, const std::wstring& value)
{
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          DWORD((value.size() + 1) * sizeof(wchar_t)));
}

class RegistryTest : public ::testing::Test
{
protected:
    TemporaryRegistry m_registry;
};

} // namespace

TEST_F(RegistryTest, ValuesPersistInAReadableFile)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CLASSES_ROOT, L"CLSID\\{ABC}\\InprocServer32", &key, &disposition),
        ERROR_SUCCESS);
    EXPECT_EQ(disposition, DWORD(REG_CREATED_NEW_KEY));
    ASSERT_EQ(SetString(key, nullptr, L"/opt/lib \"quoted\"\\x.so"), ERROR_SUCCESS);
    ASSERT_EQ(SetString(key, L"ThreadingModel", L"Both\nline"), ERROR_SUCCESS);
    DWORD merit = 0x200000;
    ASSERT_EQ(
        RegSetValueExW(key, L"Merit", 0, REG_DWORD, reinterpret_cast<BYTE*>(&merit), sizeof merit),
        ERROR_SUCCESS);
    RegCloseKey(key);

    std::string text = ReadText(m_registry.File());
    EXPECT_NE(text.find("[HKEY_CLASSES_ROOT\\CLSID\\{ABC}\\InprocServer32]"), std::string::npos);
    EXPECT_NE(text.find("@=\"/opt/lib \\\"quoted\\\"\\\\x.so\""), std::string::npos);
    EXPECT_NE(text.find("\"Merit\"=dword:00200000"), std::string::npos);

    // Another registry file, then back: everything is read again from disk.
    {
        TemporaryRegistry other;
        std::wstring value;
        EXPECT_EQ(RegReadString(HKEY_CLASSES_ROOT, L"CLSID\\{ABC}\\InprocServer32", nullptr, value),
                  ERROR_FILE_NOT_FOUND);
    }
    std::wstring value;
    ASSERT_EQ(
        RegReadString(HKEY_CLASSES_ROOT, L"clsid\\{abc}\\inprocserver32", L"threadingmodel", value),
        ERROR_SUCCESS);
    EXPECT_EQ(value, L"Both\nline");
    ASSERT_EQ(RegReadString(HKEY_CLASSES_ROOT, L"CLSID\\{ABC}\\InprocServer32", nullptr, value),
              ERROR_SUCCESS);
    EXPECT_EQ(value, L"/opt/lib \"quoted\"\\x.so");
}

TEST_F(RegistryTest, WritesLeaveNoTemporaryFilesAndSeeOutsideChanges)
{
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(RegSetValueW(HKEY_CURRENT_USER, L"Software\\Test", REG_SZ, L"value", 0),
                  ERROR_SUCCESS);
    EXPECT_EQ(FolderEntries(m_registry.Folder()), kRegistryAndLock);

    // Another process replaces the file: the next call sees its content.
    {
        std::ofstream out(m_registry.File() + ".new");
        out << "; written elsewhere\n[HKEY_CURRENT_USER\\Software\\Test]\n@=\"changed\"\n";
    }
    std::filesystem::rename(m_registry.File() + ".new", m_registry.File());
    std::wstring value;
    ASSERT_EQ(RegReadString(HKEY_CURRENT_USER, L"Software\\Test", nullptr, value), ERROR_SUCCESS);
    EXPECT_EQ(value, L"changed");
}

TEST_F(RegistryTest, CorruptFileIsReportedAndNotOverwritten)
{
    const std::string corrupt = "[HKEY_CLASSES_ROOT\\CLSID]\nthis is not a value\n";
    {
        std::ofstream out(m_registry.File());
        out << corrupt;
    }
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyW(HKEY_CLASSES_ROOT, L"CLSID\\{X}", &key), ERROR_BADDB);
    EXPECT_EQ(ReadText(m_registry.File()), corrupt);
}

TEST_F(RegistryTest, FailedWriteKeepsTheOldState)
{
    ASSERT_EQ(RegSetValueW(HKEY_CURRENT_USER, L"Kept", REG_SZ, L"old", 0), ERROR_SUCCESS);
    std::string before = ReadText(m_registry.File());

    // A file size limit makes the next write fail, even for root.
    struct rlimit saved
    {
    };
    ::getrlimit(RLIMIT_FSIZE, &saved);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tiny = saved;
    tiny.rlim_cur = 16;
    ::setrlimit(RLIMIT_FSIZE, &tiny);
    LONG result = RegSetValueW(HKEY_CURRENT_USER, L"Kept", REG_SZ, L"new", 0);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(result, ERROR_FILE_TOO_LARGE);
    std::wstring value;
    ASSERT_EQ(RegReadString(HKEY_CURRENT_USER, L"Kept", nullptr, value), ERROR_SUCCESS);
    EXPECT_EQ(value, L"old");
    EXPECT_EQ(ReadText(m_registry.File()), before);
    EXPECT_EQ(FolderEntries(m_registry.Folder()), kRegistryAndLock); // no temporary file left
}

TEST_F(RegistryTest, QuerySizesFollowWin32Conventions)
{
    ASSERT_EQ(RegSetValueW(HKEY_CLASSES_ROOT, L"Sized", REG_SZ, L"abc", 0), ERROR_SUCCESS);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyW(HKEY_CLASSES_ROOT, L"Sized", &key), ERROR_SUCCESS);
    DWORD type = 0;
    DWORD size = 0;
    ASSERT_EQ(RegQueryValueExW(key, nullptr, nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 4 * sizeof(wchar_t));
    wchar_t small[2];
    size = sizeof small;
    EXPECT_EQ(
        RegQueryValueExW(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size),
        ERROR_MORE_DATA);
    EXPECT_EQ(size, 4 * sizeof(wchar_t));
    EXPECT_EQ(RegQueryValueExW(key, L"missing", nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegGetValueW(HKEY_CLASSES_ROOT, L"Sized", nullptr, RRF_RT_REG_DWORD, nullptr, nullptr,
                           &size),
              ERROR_UNSUPPORTED_TYPE);
    DWORD badSize = 0;
    EXPECT_EQ(RegSetValueExW(key, L"d", 0, REG_DWORD, reinterpret_cast<BYTE*>(&badSize), 2),
              ERROR_INVALID_PARAMETER);
    RegCloseKey(key);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryTest, DeletionAndEnumeration)
{
    HKEY category = nullptr;
    ASSERT_EQ(RegCreateKeyW(HKEY_CLASSES_ROOT, L"CLSID\\{CAT}\\Instance", &category),
              ERROR_SUCCESS);
    for (const wchar_t* name : {L"{B}", L"{A}", L"{C}\\Deep"})
    {
        HKEY sub = nullptr;
        ASSERT_EQ(RegCreateKeyW(category, name, &sub), ERROR_SUCCESS);
        RegCloseKey(sub);
    }
    wchar_t name[16];
    std::vector<std::wstring> names;
    for (DWORD i = 0; RegEnumKeyW(category, i, name, 16) == ERROR_SUCCESS; ++i)
        names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"{A}", L"{B}", L"{C}"}));
    EXPECT_EQ(RegEnumKeyW(category, 0, name, 3), ERROR_MORE_DATA);

    EXPECT_EQ(RegDeleteKeyW(category, L"{C}"), ERROR_ACCESS_DENIED); // has a subkey
    EXPECT_EQ(RegDeleteTreeW(category, L"{C}"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyW(category, L"{A}"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyW(category, L"{A}"), ERROR_FILE_NOT_FOUND);

    // The handle outlives its key.
    ASSERT_EQ(RegDeleteTreeW(HKEY_CLASSES_ROOT, L"CLSID\\{CAT}"), ERROR_SUCCESS);
    EXPECT_EQ(RegEnumKeyW(category, 0, name, 16), ERROR_KEY_DELETED);
    EXPECT_EQ(SetString(category, L"x", L"y"), ERROR_KEY_DELETED);
    RegCloseKey(category);
}

TEST_F(RegistryTest, ValuesWithoutDataReadAndWriteBack)
{
    // Found by fuzzing the file format: empty string and number data were copied from a
    // null pointer.
    std::ofstream(m_registry.File()) << "[HKEY_CURRENT_USER\\Empty]\n"
                                        "@=hex(1):\n"
                                        "\"Number\"=hex(4):\n";
    std::wstring text = L"x";
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, L"Empty", nullptr, text), ERROR_SUCCESS);
    EXPECT_EQ(text, L"");
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyW(HKEY_CURRENT_USER, L"Empty", &key), ERROR_SUCCESS);
    DWORD size = 4;
    DWORD number = 7;
    EXPECT_EQ(
        RegQueryValueExW(key, L"Number", nullptr, nullptr, reinterpret_cast<BYTE*>(&number), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(SetString(key, L"Other", L"1"), ERROR_SUCCESS); // writes the file back
    RegCloseKey(key);
    EXPECT_NE(ReadText(m_registry.File()).find("\"Number\"=dword:00000000"), std::string::npos);
}

TEST_F(RegistryTest, StringDataThatIsNoTextKeepsItsBytesWhenWrittenBack)
{
    // Found by fuzzing the file format: a character beyond Unicode was written as a
    // control escape that read back as other text, so each rewrite changed the value.
    std::ofstream(m_registry.File()) << "[HKEY_CURRENT_USER\\Odd]\n"
                                        "\"Name\"=hex(1):41,00,00,80\n";
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyW(HKEY_CURRENT_USER, L"Odd", &key), ERROR_SUCCESS);
    EXPECT_EQ(SetString(key, L"Other", L"1"), ERROR_SUCCESS); // writes the file back
    std::uint8_t data[8] = {};
    DWORD size = sizeof data;
    EXPECT_EQ(RegQueryValueExW(key, L"Name", nullptr, nullptr, data, &size), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(std::vector<std::uint8_t>(data, data + size),
              (std::vector<std::uint8_t>{0x41, 0x00, 0x00, 0x80}));
    EXPECT_NE(ReadText(m_registry.File()).find("\"Name\"=hex(1):41,00,00,80"), std::string::npos);
}

TEST_F(RegistryTest, KeysDeeperThan512LevelsAreRefused)
{
    std::wstring deep;
    for (int i = 0; i < 513; ++i)
        deep += L"k\\";
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyW(HKEY_CURRENT_USER, deep.c_str(), &key), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(std::filesystem::exists(m_registry.File()));

    std::string line = "[HKEY_CURRENT_USER";
    for (int i = 0; i < 513; ++i)
        line += "\\k";
    std::ofstream(m_registry.File()) << line << "]\n";
    std::wstring value;
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, L"k", nullptr, value), ERROR_BADDB);
}

TEST_F(RegistryTest, SystemFileFillsInWhatTheOwnFileLacksAndIsNeverWritten)
{
    const std::string systemFile = (m_registry.Folder() / "system.txt").string();
    const std::string systemText = "[HKEY_CLASSES_ROOT\\CLSID\\{SYS}\\InprocServer32]\n"
                                   "@=\"/usr/lib/marvek/A.so\"\n"
                                   "[HKEY_CLASSES_ROOT\\CLSID\\{BOTH}]\n"
                                   "@=\"system\"\n"
                                   "\"OnlySystem\"=\"s\"\n"
                                   "[HKEY_CLASSES_ROOT\\Cat\\Instance\\{S}]\n"
                                   "@=\"s\"\n";
    std::ofstream(systemFile) << systemText;
    ::setenv("MARVEK_SYSTEM_REGISTRY", systemFile.c_str(), 1);
    ASSERT_EQ(RegWriteString(HKEY_CLASSES_ROOT, L"CLSID\\{BOTH}", nullptr, L"own"), ERROR_SUCCESS);
    ASSERT_EQ(RegWriteString(HKEY_CLASSES_ROOT, L"Cat\\Instance\\{U}", nullptr, L"u"),
              ERROR_SUCCESS);

    std::wstring value;
    EXPECT_EQ(RegReadString(HKEY_CLASSES_ROOT, L"CLSID\\{SYS}\\InprocServer32", nullptr, value),
              ERROR_SUCCESS);
    EXPECT_EQ(value, L"/usr/lib/marvek/A.so");
    EXPECT_EQ(RegReadString(HKEY_CLASSES_ROOT, L"CLSID\\{BOTH}", nullptr, value), ERROR_SUCCESS);
    EXPECT_EQ(value, L"own");
    EXPECT_EQ(RegReadString(HKEY_CLASSES_ROOT, L"CLSID\\{BOTH}", L"OnlySystem", value),
              ERROR_SUCCESS);
    HKEY instances = nullptr;
    ASSERT_EQ(RegOpenKeyW(HKEY_CLASSES_ROOT, L"Cat\\Instance", &instances), ERROR_SUCCESS);
    wchar_t name[8];
    std::vector<std::wstring> names;
    for (DWORD i = 0; RegEnumKeyW(instances, i, name, 8) == ERROR_SUCCESS; ++i)
        names.push_back(name);
    RegCloseKey(instances);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"{S}", L"{U}"}));

    // Changes to keys only the system file holds go to the own file.
    HKEY system = nullptr;
    ASSERT_EQ(RegOpenKeyW(HKEY_CLASSES_ROOT, L"CLSID\\{SYS}", &system), ERROR_SUCCESS);
    EXPECT_EQ(SetString(system, L"Added", L"here"), ERROR_SUCCESS);
    RegCloseKey(system);
    EXPECT_EQ(RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Cat\\Instance\\{S}"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteTreeW(HKEY_CLASSES_ROOT, L"CLSID\\{BOTH}"), ERROR_SUCCESS);
    EXPECT_EQ(RegReadString(HKEY_CLASSES_ROOT, L"CLSID\\{BOTH}", nullptr, value), ERROR_SUCCESS);
    EXPECT_EQ(value, L"system");
    EXPECT_EQ(ReadText(systemFile), systemText);
    EXPECT_NE(ReadText(m_registry.File()).find("\"Added\"=\"here\""), std::string::npos);

    ::setenv("MARVEK_SYSTEM_REGISTRY", "", 1);
    EXPECT_EQ(RegReadString(HKEY_CLASSES_ROOT, L"CLSID\\{SYS}\\InprocServer32", nullptr, value),
              ERROR_FILE_NOT_FOUND);
}

TEST(RegistryLocation, UserConfigFolderWhenNoOverride)
{
    TemporaryRegistry scratch; // restores MARVEK_REGISTRY afterwards
    const char* previousConfig = std::getenv("XDG_CONFIG_HOME");
    std::string savedConfig = previousConfig ? previousConfig : "";
    ::unsetenv("MARVEK_REGISTRY");
    ::setenv("XDG_CONFIG_HOME", scratch.Folder().c_str(), 1);

    LONG result = RegSetValueW(HKEY_CURRENT_USER, L"Here", REG_SZ, L"1", 0);

    if (previousConfig)
        ::setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(result, ERROR_SUCCESS);
    EXPECT_TRUE(std::filesystem::exists(scratch.Folder() / "marvek" / "registry.txt"));
}
