#pragma once
// Points the registry at a fresh file in a temporary folder for the lifetime of
// the object, and removes the folder afterwards. Tests never touch the user's
// registry.

#include <cstdlib>
#include <filesystem>
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
        m_previous = std::getenv("MARVEK_REGISTRY") ? std::getenv("MARVEK_REGISTRY") : "";
        ::setenv("MARVEK_REGISTRY", File().c_str(), 1);
    }

    ~TemporaryRegistry()
    {
        if (m_previous.empty())
            ::unsetenv("MARVEK_REGISTRY");
        else
            ::setenv("MARVEK_REGISTRY", m_previous.c_str(), 1);
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }

    TemporaryRegistry(const TemporaryRegistry&) = delete;
    TemporaryRegistry& operator=(const TemporaryRegistry&) = delete;

    std::filesystem::path Folder() const { return m_folder; }
    std::string File() const { return (m_folder / "registry.txt").string(); }

private:
    std::filesystem::path m_folder;
    std::string m_previous;
};
