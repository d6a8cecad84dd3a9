#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A file mapped read-only into memory. Pages are read on demand and can be dropped again by the
// system, so a file of any size is walked in bounded memory.
class CMappedFile
{
public:
    // Throws std::runtime_error when the file cannot be opened or mapped.
    explicit CMappedFile(const std::string& strPath);
    ~CMappedFile();
    CMappedFile(const CMappedFile&) = delete;
    CMappedFile& operator=(const CMappedFile&) = delete;

    const std::uint8_t* Data() const { return m_pData; }
    std::size_t Size() const { return m_cbSize; }

private:
    const std::uint8_t* m_pData = nullptr;
    std::size_t m_cbSize = 0;
};
