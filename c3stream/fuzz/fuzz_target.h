#pragma once

// What the fuzz targets of the C3 stream library share, beside what every fuzz target shares.

#include "c3stream/buffer_rw.h"
#include "c3stream/exceptions.h"
#include "c3stream/processor_interfaces.h"
#include "c3stream/syntax.h"
#include "fuzz_support.h"

#include <memory>

// The markers of the system's formats, for every target's tokens.
inline std::vector<FuzzBytes> C3Markers()
{
    return {{0xDE, 0xAD, 0xCA, 0xFE}, {0x88, 0x88, 0xCA, 0xFE}};
}

// Writes the element into a buffer of cbRoom bytes and walks it; returns the bytes written.
// A full buffer may end the write with CWriterException, which is documented behaviour.
inline std::size_t WriteAndWalk(CSyntaxElement& element, std::size_t cbRoom)
{
    const auto pRoom = std::make_unique<std::uint8_t[]>(cbRoom);
    CBufferWriter writer(pRoom.get(), cbRoom);
    try
    {
        element.Write(writer);
    }
    catch (const CWriterException&)
    {
    }
    IProcessor processor;
    element.Accept(processor);
    return static_cast<std::size_t>(writer.Position() - writer.Begin());
}

// True when the read ended without CReaderException.
template <class TElement> bool ReadQuietly(TElement& element, CBufferReader& reader)
{
    try
    {
        element.Read(reader);
        return true;
    }
    catch (const CReaderException&)
    {
        return false;
    }
}
