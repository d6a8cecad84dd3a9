#include "RegistryStore.h"

#include "RegistryFileFormat.h"
#include "com/HResult.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace registry
{

namespace
{

std::string EnvironmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

/// Reads a whole file; ENOENT gives an empty text and success.
LONG ReadFileText(const std::string& path, std::string& text)
{
    text.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? ERROR_SUCCESS : Win32ErrorFromErrno(errno);
    char buffer[16384];
    ssize_t n = 0;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, std::size_t(n));
    LONG result = n < 0 ? Win32ErrorFromErrno(errno) : ERROR_SUCCESS;
    ::close(fd);
    return result;
}

LONG WriteAll(int fd, const std::string& text)
{
    std::size_t written = 0;
    while (written < text.size())
    {
        ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            return Win32ErrorFromErrno(errno);
        }
        written += std::size_t(n);
    }
    return ERROR_SUCCESS;
}

/// Writes text to a temporary file beside path, flushes it, and renames it over path.
LONG ReplaceFileAtomically(const std::string& path, const std::string& text)
{
    std::error_code ec;
    std::filesystem::path target(path);
    if (target.has_parent_path())
        std::filesystem::create_directories(target.parent_path(), ec);
    if (ec)
        return Win32ErrorFromErrno(ec.value());

    static std::atomic<unsigned> counter{0};
    std::string temporary =
        path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return Win32ErrorFromErrno(errno);
    LONG result = WriteAll(fd, text);
    if (result == ERROR_SUCCESS && ::fsync(fd) != 0)
        result = Win32ErrorFromErrno(errno);
    if (::close(fd) != 0 && result == ERROR_SUCCESS)
        result = Win32ErrorFromErrno(errno);
    if (result == ERROR_SUCCESS && ::rename(temporary.c_str(), path.c_str()) != 0)
        result = Win32ErrorFromErrno(errno);
    if (result != ERROR_SUCCESS)
        ::unlink(temporary.c_str());
    return result;
}

} // namespace

RegistryStore& RegistryStore::Instance()
{
    static RegistryStore store;
    return store;
}

std::string RegistryStore::ResolvePath()
{
    if (std::string path = EnvironmentValue("MARVEK_REGISTRY"); !path.empty())
        return path;
    if (std::string config = EnvironmentValue("XDG_CONFIG_HOME");
        !config.empty() && config.front() == '/')
        return config + "/marvek/registry.txt";
    if (std::string home = EnvironmentValue("HOME"); !home.empty())
        return home + "/.config/marvek/registry.txt";
    return {};
}

RegistryStore::FileIdentity RegistryStore::IdentityOf(const std::string& path)
{
    struct stat info
    {
    };
    if (::stat(path.c_str(), &info) != 0)
        return {};
    return {true, info.st_dev, info.st_ino, info.st_size,
            info.st_mtim.tv_sec * 1'000'000'000LL + info.st_mtim.tv_nsec};
}

LONG RegistryStore::Load(const std::string& path)
{
    m_loaded = false;
    FileIdentity identity = IdentityOf(path);
    std::string text;
    if (LONG error = ReadFileText(path, text); error != ERROR_SUCCESS)
        return error;
    std::optional<Tree> tree = ParseTree(text);
    if (!tree)
        return ERROR_BADDB;
    m_tree = std::move(*tree);
    m_path = path;
    m_identity = identity;
    m_loaded = true;
    return ERROR_SUCCESS;
}

LONG RegistryStore::Refresh()
{
    std::string path = ResolvePath();
    if (path.empty())
        return ERROR_PATH_NOT_FOUND;
    if (m_loaded && path == m_path && IdentityOf(path) == m_identity)
        return ERROR_SUCCESS;
    return Load(path);
}

LONG RegistryStore::Save()
{
    LONG result = ReplaceFileAtomically(m_path, SerializeTree(m_tree));
    if (result != ERROR_SUCCESS)
    {
        Load(m_path); // drop the change that could not be kept
        return result;
    }
    m_identity = IdentityOf(m_path);
    return ERROR_SUCCESS;
}

LONG RegistryStore::Read(const std::function<LONG(Tree&)>& action)
{
    std::lock_guard lock(m_mutex);
    if (LONG error = Refresh(); error != ERROR_SUCCESS)
        return error;
    return action(m_tree);
}

LONG RegistryStore::Modify(const std::function<LONG(Tree&, bool& changed)>& action)
{
    std::lock_guard lock(m_mutex);
    if (LONG error = Refresh(); error != ERROR_SUCCESS)
        return error;
    bool changed = false;
    LONG result = action(m_tree, changed);
    if (result != ERROR_SUCCESS || !changed)
        return result;
    return Save();
}

} // namespace registry
