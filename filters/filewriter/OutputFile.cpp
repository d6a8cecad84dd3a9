#include "OutputFile.h"

#include <algorithm>
#include <array>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// The writer never gathers more slices than this into one write.
constexpr std::size_t kMaxSlices = 4;
} // namespace

COutputFile::~COutputFile()
{
    Close();
}

FileStatus COutputFile::Create(const std::string& path)
{
    return Open(path, O_WRONLY | O_CREAT | O_TRUNC);
}

FileStatus COutputFile::OpenForAppend(const std::string& path)
{
    return Open(path, O_WRONLY | O_CREAT | O_APPEND);
}

FileStatus COutputFile::Open(const std::string& path, int flags)
{
    Close();
    m_cbWritten = 0;
    m_cbReserved = 0;
    m_cbReserveStep = 0;
    m_fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    return m_fd >= 0 ? FileStatus::Success() : FileStatus::FromErrno(errno);
}

void COutputFile::ReserveAheadInSteps(std::uint64_t cbStep)
{
    m_cbReserveStep = cbStep;
}

void COutputFile::ReserveFor(std::uint64_t cbWrite)
{
    if (m_cbReserveStep == 0 || m_cbWritten + cbWrite <= m_cbReserved)
        return;
    const std::uint64_t cbShort = m_cbWritten + cbWrite - m_cbReserved;
    const std::uint64_t cbMore =
        (cbShort + m_cbReserveStep - 1) / m_cbReserveStep * m_cbReserveStep;
    // Only a speed-up: a file system that cannot reserve is written without it.
    if (::fallocate(m_fd, FALLOC_FL_KEEP_SIZE, static_cast<off_t>(m_cbReserved),
                    static_cast<off_t>(cbMore)) == 0)
        m_cbReserved += cbMore;
    else
        m_cbReserveStep = 0;
}

void COutputFile::ReleaseUnusedReservation()
{
    // Truncating to the size the file already has frees the reserved blocks past its end.
    if (m_cbReserved > m_cbWritten)
        ::ftruncate(m_fd, static_cast<off_t>(m_cbWritten));
    m_cbReserved = 0;
}

FileStatus COutputFile::Write(std::span<const iovec> slices, std::uint64_t& cbWritten)
{
    cbWritten = 0;
    if (slices.size() > kMaxSlices)
        return FileStatus::FromErrno(EINVAL);
    std::uint64_t cbTotal = 0;
    for (const iovec& slice : slices)
        cbTotal += slice.iov_len;
    ReserveFor(cbTotal);
    std::array<iovec, kMaxSlices> pending{};
    std::ranges::copy(slices, pending.begin());
    iovec* next = pending.data();
    std::size_t nLeft = slices.size();

    while (nLeft > 0)
    {
        const ssize_t cb = ::writev(m_fd, next, static_cast<int>(nLeft));
        if (cb < 0)
        {
            if (errno == EINTR)
                continue;
            return FileStatus::FromErrno(errno);
        }
        cbWritten += static_cast<std::uint64_t>(cb);
        m_cbWritten += static_cast<std::uint64_t>(cb);
        // Drop the slices that went out whole and trim the one cut short.
        std::size_t cbDone = static_cast<std::size_t>(cb);
        while (nLeft > 0 && cbDone >= next->iov_len)
        {
            cbDone -= next->iov_len;
            ++next;
            --nLeft;
        }
        if (nLeft > 0)
        {
            next->iov_base = static_cast<char*>(next->iov_base) + cbDone;
            next->iov_len -= cbDone;
        }
    }
    return FileStatus::Success();
}

FileStatus COutputFile::Write(std::span<const char> text)
{
    const iovec slice{const_cast<char*>(text.data()), text.size()};
    std::uint64_t cbWritten = 0;
    return Write(std::span(&slice, 1), cbWritten);
}

FileStatus COutputFile::Truncate(std::uint64_t cbSize)
{
    const auto offset = static_cast<off_t>(cbSize);
    if (::ftruncate(m_fd, offset) != 0 || ::lseek(m_fd, offset, SEEK_SET) != offset)
        return FileStatus::FromErrno(errno);
    m_cbWritten = cbSize;
    m_cbReserved = std::min(m_cbReserved, cbSize);
    return FileStatus::Success();
}

bool COutputFile::IsEmpty() const
{
    struct stat info
    {
    };
    return ::fstat(m_fd, &info) == 0 && info.st_size == 0;
}

FileStatus COutputFile::Close()
{
    if (m_fd < 0)
        return FileStatus::Success();
    ReleaseUnusedReservation();
    const int result = ::close(m_fd);
    m_fd = -1;
    return result == 0 ? FileStatus::Success() : FileStatus::FromErrno(errno);
}
