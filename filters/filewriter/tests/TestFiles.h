#pragma once

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <sys/resource.h>

// A fresh directory under the system's temporary directory, removed with its contents.
class CTempDirectory
{
public:
    CTempDirectory()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "lmrtest-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
    }
    ~CTempDirectory()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    CTempDirectory(const CTempDirectory&) = delete;
    CTempDirectory& operator=(const CTempDirectory&) = delete;

    // The path of a file in the directory, as a string.
    std::string operator/(const std::string& name) const { return (m_path / name).string(); }
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// While it lives, no file of the process may grow past cbLimit bytes, as on a disk that
// fills up: a write that would is cut short, and the next one fails with EFBIG instead of
// raising SIGXFSZ.
class CFileSizeLimit
{
public:
    explicit CFileSizeLimit(rlim_t cbLimit) : m_previousHandler(std::signal(SIGXFSZ, SIG_IGN))
    {
        ::getrlimit(RLIMIT_FSIZE, &m_previous);
        rlimit limit = m_previous;
        limit.rlim_cur = cbLimit;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~CFileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    CFileSizeLimit(const CFileSizeLimit&) = delete;
    CFileSizeLimit& operator=(const CFileSizeLimit&) = delete;

private:
    void (*const m_previousHandler)(int);
    rlimit m_previous{};
};

inline std::vector<std::uint8_t> ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string ReadWholeText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline void WriteWholeText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// Bytes 0, 1, 2, ... 250, 0, 1, ...: never a start code, and a shifted copy never matches.
inline std::vector<std::uint8_t> CountingBytes(std::size_t cb, std::size_t first = 0)
{
    std::vector<std::uint8_t> bytes(cb);
    for (std::size_t i = 0; i < cb; ++i)
        bytes[i] = static_cast<std::uint8_t>((first + i) % 251);
    return bytes;
}

// The "name;bytes" lines of a segment list file, after checking its first line.
inline std::vector<std::pair<std::string, std::uint64_t>>
ReadListEntries(const std::string& listPath)
{
    const std::string text = ReadWholeText(listPath);
    EXPECT_EQ(text.substr(0, 6), "LMMP\r\n");
    std::vector<std::pair<std::string, std::uint64_t>> entries;
    for (std::size_t at = 6; at < text.size();)
    {
        const std::size_t end = text.find("\r\n", at);
        const std::size_t semicolon = text.find(';', at);
        EXPECT_NE(end, std::string::npos);
        EXPECT_LT(semicolon, end);
        entries.emplace_back(text.substr(at, semicolon - at),
                             std::stoull(text.substr(semicolon + 1, end - semicolon - 1)));
        at = end + 2;
    }
    return entries;
}

// The segments a list names, joined in list order, after checking each one's size
// against its line.
inline std::vector<std::uint8_t> ReadListedSegments(const std::string& listPath)
{
    const std::filesystem::path directory = std::filesystem::path(listPath).parent_path();
    std::vector<std::uint8_t> joined;
    for (const auto& [name, cb] : ReadListEntries(listPath))
    {
        const std::vector<std::uint8_t> bytes = ReadWholeFile((directory / name).string());
        EXPECT_EQ(bytes.size(), cb) << name;
        joined.insert(joined.end(), bytes.begin(), bytes.end());
    }
    return joined;
}
