#include "mapped_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
std::runtime_error SystemError(const std::string& strWhat, const std::string& strPath)
{
    return std::runtime_error(strWhat + " " + strPath + ": " + std::strerror(errno));
}
} // namespace

CMappedFile::CMappedFile(const std::string& strPath)
{
    const int fd = ::open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw SystemError("cannot open", strPath);
    struct stat info = {};
    if (::fstat(fd, &info) != 0)
    {
        const auto error = SystemError("cannot read the size of", strPath);
        ::close(fd);
        throw error;
    }
    m_cbSize = static_cast<std::size_t>(info.st_size);
    // An empty file cannot be mapped; it stays an empty range.
    if (m_cbSize != 0)
    {
        void* pMapping = ::mmap(nullptr, m_cbSize, PROT_READ, MAP_PRIVATE, fd, 0);
        if (pMapping == MAP_FAILED)
        {
            const auto error = SystemError("cannot map", strPath);
            ::close(fd);
            throw error;
        }
        ::madvise(pMapping, m_cbSize, MADV_SEQUENTIAL);
        m_pData = static_cast<const std::uint8_t*>(pMapping);
    }
    ::close(fd);
}

CMappedFile::~CMappedFile()
{
    if (m_pData)
        ::munmap(const_cast<std::uint8_t*>(m_pData), m_cbSize);
}
