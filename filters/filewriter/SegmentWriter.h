#pragma once

#include "FileStatus.h"
#include "JoinedBuffer.h"
#include "OutputFile.h"
#include "SegmentListWriter.h"
#include "SegmentNames.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// Writes a byte stream into numbered segment files and lists each closed segment in the
// recording's segment list. The multi-file writer filter forwards its file name, its
// settings, its state changes and every sample here.
//
// A segment is cut either before the sample that would take it past its size limit
// (plain cutting), or, in pack-aligned mode, once it is within 2 MiB of the limit, before
// the last MPEG pack start code 00 00 01 BA of a sample, so that every later segment
// begins with a pack header.
//
// Every operation holds one internal lock, so a sample being written and a state change
// closing the files never overlap: a write never meets a closed or half-cut segment.
//
// A failed write or segment open is kept: every later sample is refused with the same
// failure until the next Stop, so the files always hold an unbroken beginning of the
// stream. A sample that a failed write left partly written is cut off the segment again,
// so the recording ends with the last sample written whole and its list line gives the
// size that remains. A run after Stop continues the recording in a new segment of the
// same list rather than emptying a segment the list already names.
class CSegmentWriter
{
public:
    static constexpr std::uint64_t kDefaultSegmentLimit = 0x7F000000;
    // A segment in pack-aligned mode starts looking for a cut this close to its limit.
    static constexpr std::uint64_t kCutZone = 0x200000;
    // Disk blocks of a segment are reserved this far ahead of its writes: on ext4 a 2 MiB step
    // measured faster than 8 or 32 MiB.
    static constexpr std::uint64_t kReserveStep = 0x200000;

    // Ends any recording in progress and starts a new one under name (UTF-8). Creates the
    // first segment, so that a bad name or directory is reported now, and closes it again;
    // the list file is created with its first line and stays open.
    FileStatus SetFileName(std::string_view name);
    // The current segment's name; empty before any name is set.
    std::string CurrentFileName() const;

    // 0 leaves the limit unchanged.
    void SetSegmentSizeKB(std::uint32_t kilobytes);
    void SetTotalSizeLimit(std::uint64_t cbLimit);
    void SetPackAlignedCut(bool bEnable);

    // What the filter's state changes do to the files.
    FileStatus Pause();
    FileStatus Run();
    void Stop();

    // Writes one sample. With no segment open (no name, or stopped) the sample is dropped;
    // after the total size limit the rest of the stream is discarded.
    FileStatus Write(std::span<const std::uint8_t> sample);

    std::uint64_t TotalBytes() const;
    // The failure that refuses the stream until the next Stop; success while writing goes on.
    FileStatus StreamFailure() const;

private:
    FileStatus OpenFile();
    FileStatus CloseFile();
    FileStatus OpenForStreaming();
    void MoveToNextSegment();
    FileStatus CutSegment();
    std::size_t ClampToTotalLimit(std::size_t cbSample);
    FileStatus WritePlain(const CJoinedBuffer& buffer);
    FileStatus WritePackAligned(const CJoinedBuffer& buffer);
    FileStatus WriteRange(const CJoinedBuffer& buffer, std::size_t begin, std::size_t end);
    FileStatus FlushWithheld();
    FileStatus Fail(FileStatus status);
    std::uint64_t WholeSamplesEnd() const;
    void CutBackToWholeSamples();

    mutable std::mutex m_mutex;

    std::optional<CSegmentNames> m_names;
    std::string m_strFileName;
    COutputFile m_file;
    CSegmentListWriter m_listFile;

    std::int32_t m_nSegment = 0;
    std::uint64_t m_cbSegment = 0;
    std::uint64_t m_cbSegmentLimit = kDefaultSegmentLimit;
    std::uint64_t m_cbTotal = 0;
    std::uint64_t m_cbTotalLimit = 0;
    bool m_bTotalLimit = false;
    bool m_bFinished = false;
    bool m_bPackAligned = false;
    std::size_t m_cbWithheld = 0;
    // In bytes of m_cbTotal: where the previous sample ends once its withheld bytes are
    // written, and where the samples before it, all written whole, end.
    std::uint64_t m_cbPreviousSampleEnd = 0;
    std::uint64_t m_cbEarlierSamplesEnd = 0;
    // Some byte of this recording reached a segment, so closed segments get list lines.
    bool m_bDataWritten = false;
    // The closed current segment belongs to the recording: the next open moves on to a
    // new segment instead of emptying it.
    bool m_bSegmentKept = false;
    FileStatus m_failure;
};
