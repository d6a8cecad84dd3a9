#pragma once
// Points the registry at a fresh file in a temporary folder for the lifetime of
// the object, with no system-wide file behind it, and removes the folder
// afterwards. Tests never touch the user's registry nor see the machine's.

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>

class TemporaryRegistry
{
public:
    TemporaryRegistry()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "marvek-registry-XXXXXX").string();
        m_folder = ::mkdtemp(pattern.data()) ? pattern : std::string();
        m_previous = Save("MARVEK_REGISTRY");
        m_previousSystem = Save("MARVEK_SYSTEM_REGISTRY");
        ::setenv("MARVEK_REGISTRY", File().c_str(), 1);
        ::setenv("MARVEK_SYSTEM_REGISTRY", "", 1);
    }

    ~TemporaryRegistry()
    {
        Restore("MARVEK_REGISTRY", m_previous);
        Restore("MARVEK_SYSTEM_REGISTRY", m_previousSystem);
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }

    TemporaryRegistry(const TemporaryRegistry&) = delete;
    TemporaryRegistry& operator=(const TemporaryRegistry&) = delete;

    std::filesystem::path Folder() const { return m_folder; }
    std::string File() const { return (m_folder / "registry.txt").string(); }

private:
    static std::optional<std::string> Save(const char* name)
    {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    }

    static void Restore(const char* name, const std::optional<std::string>& value)
    {
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }

    std::filesystem::path m_folder;
    std::optional<std::string> m_previous;
    std::optional<std::string> m_previousSystem;
};
