#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// Builds a small MPEG video elementary stream by hand: headers written by the C3 stream
// library, and slices of filler bytes that hold no start code. It records where each element
// starts, so tests can tell where units must begin.
class ElementaryStream
{
public:
    // A sequence header with the given frame_rate_code, followed by a sequence extension.
    ElementaryStream& Sequence(std::uint8_t byFrameRateCode = 3);
    ElementaryStream& Gop();
    // A picture header with its coding type and temporal reference, then one slice.
    ElementaryStream& Picture(std::uint8_t byType, std::uint16_t nTemporalRef,
                              std::size_t cbSlice = 40);
    ElementaryStream& SequenceEnd();
    ElementaryStream& Raw(const Bytes& bytes);

    const Bytes& Data() const { return m_bytes; }
    // Offsets of the elements in the order they were added.
    const std::vector<std::size_t>& Offsets() const { return m_offsets; }

private:
    void Mark() { m_offsets.push_back(m_bytes.size()); }

    Bytes m_bytes;
    std::vector<std::size_t> m_offsets;
};
