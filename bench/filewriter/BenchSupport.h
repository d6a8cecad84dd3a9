#pragma once

#include "MultiFileReader.h"
#include "MultiFileWriter.h"

#include "com/ComPtr.h"
#include "com/StringConvert.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

constexpr std::size_t kMiB = 1024 * 1024;
// What every benchmark writes or reads per iteration.
constexpr std::size_t kStreamBytes = 512 * kMiB;

// A fresh directory under the temporary directory, removed with its contents.
class CBenchDirectory
{
public:
    CBenchDirectory()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "lmrbench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
    }
    ~CBenchDirectory() { std::filesystem::remove_all(m_path); }
    CBenchDirectory(const CBenchDirectory&) = delete;
    CBenchDirectory& operator=(const CBenchDirectory&) = delete;

    std::string operator/(const std::string& name) const { return (m_path / name).string(); }
    // Removes everything in the directory, keeping the directory.
    void Empty() const
    {
        for (const auto& entry : std::filesystem::directory_iterator(m_path))
            std::filesystem::remove_all(entry.path());
    }

private:
    std::filesystem::path m_path;
};

// A filter made by its create function, asked for interface I.
template <class I> ComPtr<I> CreateFilter(CUnknown* (*create)(LPUNKNOWN, HRESULT*))
{
    HRESULT hr = S_OK;
    CUnknown* pObject = create(nullptr, &hr);
    ComPtr<I> filter;
    if (!pObject || FAILED(hr) ||
        FAILED(pObject->NonDelegatingQueryInterface(IidOf<I>(), reinterpret_cast<void**>(&filter))))
        throw std::runtime_error("cannot create the filter");
    return filter;
}

inline void RunShell(const std::string& command)
{
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("failed: " + command);
}
