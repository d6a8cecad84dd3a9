#pragma once

#include "OutputFile.h"

#include <cstdint>
#include <string>
#include <string_view>

// The segment list file of a recording: the line "LMMP", then one line "name;bytes" for
// each closed segment, every line ended by CR LF.
class CSegmentListWriter
{
public:
    // Starts a new list with its first line.
    FileStatus Create(const std::string& path);
    // Opens an existing list to add the segments of a continued recording.
    FileStatus Reopen(const std::string& path);

    FileStatus AppendSegment(std::string_view fileName, std::uint64_t cbSegment);

    bool IsOpen() const { return m_file.IsOpen(); }
    void Close() { m_file.Close(); }

private:
    FileStatus WriteFirstLine();

    COutputFile m_file;
};
