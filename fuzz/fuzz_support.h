#pragma once

// What every fuzz target provides, and what the targets share. A target is built either as a
// libFuzzer program (with fuzz_initialize.cpp) or, without libFuzzer, with fuzz_replay.cpp as
// a test that replays its seeds and deterministic mutations of them.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

using FuzzBytes = std::vector<std::uint8_t>;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t cbSize);

// Small well-formed inputs: the replay mutates them, and a fuzzing run starts from them.
std::vector<FuzzBytes> FuzzSeeds();

// Byte sequences that mean something to the parser (markers, separators, keywords): the
// replay inserts them, and a fuzzing run takes them as its dictionary.
std::vector<FuzzBytes> FuzzTokens();

// Stops the run with a message when an invariant fails, so the fuzzer records the input.
inline void FuzzCheck(bool bCondition, const char* pszWhat)
{
    if (!bCondition)
    {
        std::fprintf(stderr, "fuzz check failed: %s\n", pszWhat);
        std::abort();
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

inline FuzzBytes TextBytes(std::string_view text)
{
    return FuzzBytes(text.begin(), text.end());
}
