#include "RegistryFile.h"

#include "RegistryFileFormat.h"
#include "com/HResult.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace registry
{

namespace
{

LONG ReadAll(int fd, std::string& text)
{
    text.clear();
    char buffer[16384];
    for (;;)
    {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0)
            return ERROR_SUCCESS;
        if (n < 0 && errno != EINTR)
            return Win32ErrorFromErrno(errno);
        if (n > 0)
            text.append(buffer, std::size_t(n));
    }
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

/// Writes text to a temporary file beside path, flushes it and renames it over
/// path; fd receives the new file, open. Callers hold the registry's file lock, so
/// one temporary name serves every writer, and one left by a killed writer is
/// simply overwritten.
LONG ReplaceFileAtomically(const std::string& path, const std::string& text, int& fd)
{
    std::string temporary = path + ".tmp";
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return Win32ErrorFromErrno(errno);
    LONG result = WriteAll(fd, text);
    if (result == ERROR_SUCCESS && ::fsync(fd) != 0)
        result = Win32ErrorFromErrno(errno);
    if (result == ERROR_SUCCESS && ::rename(temporary.c_str(), path.c_str()) != 0)
        result = Win32ErrorFromErrno(errno);
    if (result != ERROR_SUCCESS)
    {
        ::close(fd);
        fd = -1;
        ::unlink(temporary.c_str());
    }
    return result;
}

long long NanosecondsOf(const timespec& time)
{
    return time.tv_sec * 1'000'000'000LL + time.tv_nsec;
}

} // namespace

RegistryFile::~RegistryFile()
{
    Pin(-1);
}

RegistryFile::Identity RegistryFile::IdentityOf(const std::string& path)
{
    struct stat info
    {
    };
    if (::stat(path.c_str(), &info) != 0)
        return {};
    return {true, info.st_dev, info.st_ino, info.st_size, NanosecondsOf(info.st_mtim)};
}

RegistryFile::Identity RegistryFile::IdentityOf(int fd)
{
    struct stat info
    {
    };
    if (fd < 0 || ::fstat(fd, &info) != 0)
        return {};
    return {true, info.st_dev, info.st_ino, info.st_size, NanosecondsOf(info.st_mtim)};
}

void RegistryFile::Pin(int fd)
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = fd;
    m_identity = IdentityOf(fd);
}

LONG RegistryFile::Load(const std::string& path)
{
    m_loaded = false;
    m_path = path;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 && errno != ENOENT)
        return Win32ErrorFromErrno(errno);
    // The identity is taken from the descriptor read, so it always matches the text.
    Pin(fd);
    std::string text;
    if (fd >= 0)
        if (LONG error = ReadAll(fd, text); error != ERROR_SUCCESS)
            return error;
    std::optional<Tree> tree = ParseTree(text);
    if (!tree)
        return ERROR_BADDB;
    m_tree = std::move(*tree);
    m_loaded = true;
    return ERROR_SUCCESS;
}

bool RegistryFile::IsCurrent(const std::string& path) const
{
    return m_loaded && path == m_path && IdentityOf(path) == m_identity;
}

LONG RegistryFile::Save()
{
    int fd = -1;
    LONG result = ReplaceFileAtomically(m_path, SerializeTree(m_tree), fd);
    if (result != ERROR_SUCCESS)
    {
        Load(m_path); // drop the change that could not be kept
        return result;
    }
    Pin(fd);
    return ERROR_SUCCESS;
}

} // namespace registry
