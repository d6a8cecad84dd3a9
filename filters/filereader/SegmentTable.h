#pragma once

#include "SegmentEntry.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The segment files of a recording laid end to end as one stream with 64-bit positions,
// read and sought across segment boundaries. Reads go straight from the files into the
// caller's buffer. The table does no locking; its owner serialises its use.
class CSegmentTable
{
public:
    static constexpr std::size_t kMaxSegments = 99;
    // Longest usable path, in bytes (MAX_PATH less the terminating zero).
    static constexpr std::size_t kMaxPathBytes = 259;

    struct Location
    {
        std::size_t index = 0;      // segment holding the position
        std::int64_t offset = 0;    // position inside that segment
        std::int64_t remaining = 0; // bytes from there to the segment's end; 0 at the end
    };

    // Bare segment names are looked up in the directory of the list file given here.
    void SetListDirectory(std::string_view listPath);

    // Replaces the table with the segments named, in order; at most kMaxSegments are
    // used. A name that is empty, cannot be opened or makes too long a path is skipped and
    // takes no place in the stream.
    void Open(std::span<const std::string> names);

    Location Locate(std::int64_t position) const;

    // Reads from the current position and advances it by the bytes read, which are fewer
    // than asked only at the end of the stream or if a segment cannot deliver its bytes
    // (read error, or the file became shorter). False if the read was cut short by a
    // failure or nothing was left to read.
    bool Read(std::span<std::uint8_t> buffer, std::size_t& cbRead);

    // Moves to position; a position at or past the end stops at the end.
    bool Seek(std::int64_t position);

    std::int64_t Total() const { return m_llTotal; }
    std::int64_t Available() const { return m_llTotal - m_llPosition; }
    std::int64_t Position() const { return m_llPosition; }
    std::size_t SegmentCount() const { return m_aSegments.size(); }
    const SegmentEntry& Segment(std::size_t index) const { return m_aSegments[index]; }

private:
    // The path of a named segment, or empty if it cannot be formed.
    std::string ResolvePath(std::string_view name) const;
    bool ReadFrom(const Location& start, std::span<std::uint8_t> buffer, std::size_t& cbRead);

    std::vector<SegmentEntry> m_aSegments;
    std::int64_t m_llPosition = 0;
    std::int64_t m_llTotal = 0;
    std::string m_szListDir;
};
