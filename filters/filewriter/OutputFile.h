#pragma once

#include "FileStatus.h"

#include <cstdint>
#include <span>
#include <string>

#include <sys/uio.h>

// A file open for writing, closed on destruction. A write hands all its slices to the
// kernel in one gathered call and continues after a short write until every byte is out
// or the kernel reports an error.
class COutputFile
{
public:
    COutputFile() = default;
    ~COutputFile();
    COutputFile(const COutputFile&) = delete;
    COutputFile& operator=(const COutputFile&) = delete;

    // Creates the file, or empties it if it exists.
    FileStatus Create(const std::string& path);
    // Opens the file to add to its end, creating it if it is missing.
    FileStatus OpenForAppend(const std::string& path);

    // cbWritten receives the bytes that reached the file, on failure too.
    FileStatus Write(std::span<const iovec> slices, std::uint64_t& cbWritten);
    FileStatus Write(std::span<const char> text);

    bool IsEmpty() const;
    bool IsOpen() const { return m_fd >= 0; }
    FileStatus Close();

private:
    FileStatus Open(const std::string& path, int flags);

    int m_fd = -1;
};
