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

    // For a file made by Create: disk blocks are reserved cbStep bytes at a time ahead of
    // the writes, and what is left unused is released on Close; the file's size and bytes
    // stay as written. On ext4, writes that start off a 64 KiB boundary (as after a
    // pack-aligned cut) are much slower when each one allocates its own blocks; reserving
    // them ahead recovers most of that, and speeds up aligned writes too.
    void ReserveAheadInSteps(std::uint64_t cbStep);

    // cbWritten receives the bytes that reached the file, on failure too.
    FileStatus Write(std::span<const iovec> slices, std::uint64_t& cbWritten);
    FileStatus Write(std::span<const char> text);

    // For a file made by Create: cuts it back to its first cbSize bytes (the blocks reserved
    // past them are released too); later writes continue there.
    FileStatus Truncate(std::uint64_t cbSize);

    bool IsEmpty() const;
    bool IsOpen() const { return m_fd >= 0; }
    FileStatus Close();

private:
    FileStatus Open(const std::string& path, int flags);
    void ReserveFor(std::uint64_t cbWrite);
    void ReleaseUnusedReservation();

    int m_fd = -1;
    // Bytes written since Create, and how far blocks are reserved; reserving stops when
    // the step is 0 or the file system refuses.
    std::uint64_t m_cbWritten = 0;
    std::uint64_t m_cbReserved = 0;
    std::uint64_t m_cbReserveStep = 0;
};
