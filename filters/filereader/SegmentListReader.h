#pragma once

#include <cstddef>
#include <string>
#include <vector>

enum class SegmentListStatus
{
    Ok,
    CannotOpen,      // the list file cannot be opened
    Empty,           // it has no first line
    NotASegmentList, // its first line does not begin with "LMMP"
    ReadError,       // reading it failed before its end
};

// Reads the segment names of a segment list file: after the first line "LMMP", each line
// names one segment by the part before its first ";" (the byte count after it is not
// needed). Lines end in LF or CR LF. At most maxNames names are read. A name too long
// for a path is skipped whole rather than cut into a wrong one; empty lines are skipped.
SegmentListStatus ReadSegmentList(const std::string& listPath, std::size_t maxNames,
                                  std::vector<std::string>& names);
