#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include <sys/uio.h>

// What a write works on: the bytes held back from the end of the previous sample, which
// are always a beginning of the start code prefix 00 00 01, followed by this sample's
// bytes. It is a view: nothing is copied, and any range of it is written with one
// gathered write of at most two slices.
class CJoinedBuffer
{
public:
    static constexpr std::size_t kMaxWithheld = 3;

    CJoinedBuffer(std::size_t cbWithheld, std::span<const std::uint8_t> sample);

    std::size_t Size() const { return m_cbWithheld + m_sample.size(); }

    // Offset of the last MPEG pack start code 00 00 01 BA, if there is one.
    std::optional<std::size_t> FindLastPackStartCode() const;

    // Length (0 to 3) of the longest end that is a beginning of 00 00 01: the bytes to hold
    // back so that a start code split between two samples is found whole.
    std::size_t StartCodePrefixAtEnd() const;

    // The slices of bytes [begin, end); returns how many of the two are used.
    std::size_t Slices(std::size_t begin, std::size_t end, std::array<iovec, 2>& slices) const;

private:
    std::uint8_t At(std::size_t offset) const;
    bool MatchesAt(std::size_t offset, std::span<const std::uint8_t> pattern) const;

    std::size_t m_cbWithheld;
    std::span<const std::uint8_t> m_sample;
};
