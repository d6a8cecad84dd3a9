#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

class CBufferReader;

// Reads an MPEG-1 or MPEG-2 video elementary stream on the video path. It finds where one
// picture unit ends and the next begins, and, given a complete unit, reads its sequence, group
// of pictures and picture headers to keep the frame rate and the picture counters that the
// unit's times are made from.
//
// A unit is a picture with the sequence header and group-of-pictures header right before it:
// it begins at a sequence header, at a group of pictures that does not follow a sequence
// header, or at a picture that follows neither.
class Scanner
{
public:
    static constexpr std::ptrdiff_t kNoBoundary = -1;

    virtual ~Scanner() = default;

    // Offset from pBase of the start code that begins the next unit in the window
    // [pBase + nOffset, pBase + cbWindow), or kNoBoundary. Only start codes with at least one
    // byte after them in the window are examined; the caller scans the last four bytes again
    // with the bytes that follow. The unit state carries from one call to the next.
    std::ptrdiff_t FindBoundary(const std::uint8_t* pBase, std::size_t nOffset,
                                std::size_t cbWindow);

    // Reads the headers of one complete unit and updates the counters and the frame rate.
    // Returns true when the unit holds a picture that comes before the first I-picture. A
    // header cut off by the end of the unit is ignored.
    bool ParseUnit(const std::uint8_t* pData, std::size_t cbLength);

    // Clears the counters and the frame rate; the unit state stays with the stream.
    void Reset();

    // Frames per second of the latest sequence header; 0 until one has been read. May be read
    // from any thread.
    double FrameRate() const { return m_dFrameRate.load(std::memory_order_relaxed); }
    // picture_coding_type and temporal_reference of the latest picture header.
    std::uint32_t PictureType() const { return m_nPictureType; }
    std::uint32_t TemporalReference() const { return m_nTemporalRef; }
    // Pictures counted in decode order since the first I-picture (0 until then).
    std::uint32_t DecodeCount() const { return m_nDecodeCount; }

    // Display and decode time of the latest picture in seconds; the frame rate must be known.
    double DisplayTime() const;
    double DecodeTime() const;

private:
    // Applies one start code to the unit state; true when it begins a new unit.
    bool StartsUnit(std::uint32_t nCode);
    // Read the header at the reader's position.
    void ReadPicture(const CBufferReader& reader, bool& bBeforeFirstI);
    void ReadSequence(const CBufferReader& reader);

    bool m_bHeaderOpen = false;
    bool m_bSequenceOpen = false;
    std::uint32_t m_nDecodeCount = 0;
    std::uint32_t m_nGopBase = 0;
    std::uint32_t m_nPictureType = 0;
    std::uint32_t m_nTemporalRef = 0;
    std::atomic<double> m_dFrameRate{0.0};
};
