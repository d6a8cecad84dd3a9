#pragma once

// Small readers and writers of bit fields shared by the element classes.

#include "c3stream/buffer_rw.h"

#include <cstddef>
#include <cstdint>

// The next nBits bits as a field of type T.
template <class T> T ReadField(CBufferReader& reader, std::uint32_t nBits)
{
    return static_cast<T>(reader.ReadBits(nBits));
}

inline bool ReadFlag(CBufferReader& reader)
{
    return reader.ReadBit() != 0;
}

// Marker bits are passed over unchecked on reading and always written as 1.
inline void SkipMarkerBit(CBufferReader& reader)
{
    reader.ReadBit();
}

inline void WriteMarkerBit(CBufferWriter& writer)
{
    writer.WriteBit(1);
}

// Copies bytes an element points at back out with a raw write. Nothing to copy writes nothing,
// so an empty payload or tail never makes a full buffer throw CWriterException.
inline void WriteRawBytes(CBufferWriter& writer, const std::uint8_t* pSource, std::size_t cb)
{
    if (pSource && cb != 0)
        writer.WriteRaw(pSource, cb);
}
