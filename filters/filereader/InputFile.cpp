#include "InputFile.h"

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CInputFile::~CInputFile()
{
    Close();
}

CInputFile::CInputFile(CInputFile&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_llSize(std::exchange(other.m_llSize, 0))
{
}

CInputFile& CInputFile::operator=(CInputFile&& other) noexcept
{
    if (this != &other)
    {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
        m_llSize = std::exchange(other.m_llSize, 0);
    }
    return *this;
}

bool CInputFile::Open(const std::string& path)
{
    Close();
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        return false;
    struct stat info
    {
    };
    if (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode))
    {
        Close();
        return false;
    }
    m_llSize = info.st_size;
    return true;
}

std::size_t CInputFile::ReadAt(std::int64_t offset, std::span<std::uint8_t> buffer) const
{
    std::size_t cbDone = 0;
    while (cbDone < buffer.size())
    {
        const ssize_t cb = ::pread(m_fd, buffer.data() + cbDone, buffer.size() - cbDone,
                                   static_cast<off_t>(offset + static_cast<std::int64_t>(cbDone)));
        if (cb < 0 && errno == EINTR)
            continue;
        if (cb <= 0)
            break;
        cbDone += static_cast<std::size_t>(cb);
    }
    return cbDone;
}

void CInputFile::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_llSize = 0;
}
