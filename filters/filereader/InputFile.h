#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// A regular file open for reading, closed on destruction. Reads name their offset, so
// no file position is shared between callers.
class CInputFile
{
public:
    CInputFile() = default;
    ~CInputFile();
    CInputFile(CInputFile&& other) noexcept;
    CInputFile& operator=(CInputFile&& other) noexcept;
    CInputFile(const CInputFile&) = delete;
    CInputFile& operator=(const CInputFile&) = delete;

    // Opens an existing regular file; false if it is missing, unreadable or not a file.
    bool Open(const std::string& path);

    std::int64_t Size() const { return m_llSize; }

    // Reads into all of buffer from offset; returns fewer bytes only at the file's end
    // or on a read error.
    std::size_t ReadAt(std::int64_t offset, std::span<std::uint8_t> buffer) const;

    void Close();

private:
    int m_fd = -1;
    std::int64_t m_llSize = 0;
};
