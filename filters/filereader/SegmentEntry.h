#pragma once

#include "InputFile.h"

#include <cstdint>
#include <string>

// One opened segment file of a multi-file stream.
struct SegmentEntry
{
    std::string szPath;       // full path, at most 259 bytes
    CInputFile hFile;         // open for reading while the entry lives
    std::int64_t llSize = 0;  // size of the file when it was opened
    std::int64_t llStart = 0; // position of its first byte in the joined stream
};
