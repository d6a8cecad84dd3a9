#pragma once

#include "c3stream/buffer_rw.h"

#include <cstddef>
#include <cstdint>

// Copies bytes an element points at back out with a raw write. Nothing to copy writes nothing,
// so an empty payload or tail never makes a full buffer throw CWriterException.
inline void WriteRawBytes(CBufferWriter& writer, const std::uint8_t* pSource, std::size_t cb)
{
    if (pSource && cb != 0)
        writer.WriteRaw(pSource, cb);
}
