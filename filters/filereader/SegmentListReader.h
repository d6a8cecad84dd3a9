#pragma once

#include <cstddef>
#include <cstdio>
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
// needed). Lines end in LF or CR LF. At most maxNames lines are read, each giving one
// name. A line with no name, or whose name is too long for a path, gives an empty name
// rather than one cut into a wrong file name.
SegmentListStatus ReadSegmentList(const std::string& listPath, std::size_t maxNames,
                                  std::vector<std::string>& names);

// As above, from a list already open (CannotOpen is then never given).
SegmentListStatus ReadSegmentList(std::FILE* list, std::size_t maxNames,
                                  std::vector<std::string>& names);
