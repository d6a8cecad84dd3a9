#pragma once

#include "MultiFileReader.h"
#include "MultiFileWriter.h"
#include "TestFiles.h"

#include "com/ComPtr.h"
#include "com/StringConvert.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

constexpr std::size_t kMiB = 1024 * 1024;
// What every benchmark writes or reads per iteration.
constexpr std::size_t kStreamBytes = 512 * kMiB;

// Removes everything in a directory, keeping the directory.
inline void EmptyDirectory(const CTempDirectory& dir)
{
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        std::filesystem::remove_all(entry.path());
}

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

// Times a shell command that writes a stream into dir, emptying dir between the runs.
inline void MeasureShellWrites(benchmark::State& state, const std::string& command,
                               const CTempDirectory& dir)
{
    for (auto _ : state)
    {
        RunShell(command);
        state.PauseTiming();
        EmptyDirectory(dir);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kStreamBytes));
}
