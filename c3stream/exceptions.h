#pragma once

// The library's only error signals. Both are empty and thrown by value; the library never
// catches them itself.

// A read needed a byte beyond the end of the buffer, or a composite read started with no data.
class CReaderException
{
};

// A raw copy was asked of a buffer that is already full.
class CWriterException
{
};
