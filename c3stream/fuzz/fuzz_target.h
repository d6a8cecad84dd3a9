#pragma once

// What every fuzz target of the C3 stream library provides, and what they share. A target is
// built either as a libFuzzer program or, without libFuzzer, with fuzz_replay.cpp as a test
// that replays its seeds and deterministic mutations of them.

#include "c3stream/buffer_rw.h"
#include "c3stream/exceptions.h"
#include "c3stream/processor_interfaces.h"
#include "c3stream/syntax.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

using FuzzBytes = std::vector<std::uint8_t>;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t cbSize);

// Small well-formed inputs: the replay mutates them, and a fuzzing run may start from them.
std::vector<FuzzBytes> FuzzSeeds();

// Stops the run with a message when an invariant fails, so the fuzzer records the input.
inline void FuzzCheck(bool bCondition, const char* pszWhat)
{
    if (!bCondition)
    {
        std::fprintf(stderr, "fuzz check failed: %s\n", pszWhat);
        std::abort();
    }
}

// Writes the element into a buffer of cbRoom bytes and walks it; returns the bytes written.
// A full buffer may end the write with CWriterException, which is documented behaviour.
inline std::size_t WriteAndWalk(CSyntaxElement& element, std::size_t cbRoom)
{
    const auto pRoom = std::make_unique<std::uint8_t[]>(cbRoom);
    CBufferWriter writer(pRoom.get(), cbRoom);
    try
    {
        element.Write(writer);
    }
    catch (const CWriterException&)
    {
    }
    IProcessor processor;
    element.Accept(processor);
    return static_cast<std::size_t>(writer.Position() - writer.Begin());
}

// True when the read ended without CReaderException.
template <class TElement> bool ReadQuietly(TElement& element, CBufferReader& reader)
{
    try
    {
        element.Read(reader);
        return true;
    }
    catch (const CReaderException&)
    {
        return false;
    }
}

// The head followed by cbFill copies of byFill, built in one allocation. (Growing a vector
// made from the head instead trips a false -Warray-bounds in GCC 12 at -O3: it cannot see
// that the move of the elements after the insertion point is empty.)
inline FuzzBytes HeadAndFill(std::initializer_list<std::uint8_t> head, std::size_t cbFill,
                             std::uint8_t byFill)
{
    FuzzBytes bytes(head.size() + cbFill, byFill);
    std::copy(head.begin(), head.end(), bytes.begin());
    return bytes;
}

inline FuzzBytes JoinBytes(std::initializer_list<FuzzBytes> parts)
{
    FuzzBytes all;
    for (const FuzzBytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}
