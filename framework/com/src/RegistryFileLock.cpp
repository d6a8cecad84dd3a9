#include "RegistryFileLock.h"

#include "com/HResult.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace registry
{

namespace
{

using namespace std::chrono_literals;

// A change holds the lock for one small file write; a writer that keeps it this
// long is stopped or hung, and waiting on would hang this process too.
constexpr auto kGiveUpAfter = 20s;
constexpr auto kLongestPause = 2ms;

LONG CreateParentFolder(const std::string& path)
{
    std::filesystem::path parent = std::filesystem::path(path).parent_path();
    std::error_code error;
    if (!parent.empty())
        std::filesystem::create_directories(parent, error);
    return error ? Win32ErrorFromErrno(error.value()) : ERROR_SUCCESS;
}

} // namespace

RegistryFileLock::RegistryFileLock(const std::string& registryPath)
    : m_result(Acquire(registryPath))
{
}

RegistryFileLock::~RegistryFileLock()
{
    if (m_fd >= 0)
        ::close(m_fd); // releases the lock
}

LONG RegistryFileLock::Acquire(const std::string& registryPath)
{
    if (LONG error = CreateParentFolder(registryPath); error != ERROR_SUCCESS)
        return error;
    std::string lockPath = registryPath + ".lock";
    m_fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (m_fd < 0)
        return Win32ErrorFromErrno(errno);
    const auto deadline = std::chrono::steady_clock::now() + kGiveUpAfter;
    auto pause = 1ms;
    while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0)
    {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            return Win32ErrorFromErrno(errno);
        if (std::chrono::steady_clock::now() >= deadline)
            return ERROR_TIMEOUT;
        std::this_thread::sleep_for(pause);
        pause = std::min<std::chrono::milliseconds>(pause * 2, kLongestPause);
    }
    return ERROR_SUCCESS;
}

} // namespace registry
