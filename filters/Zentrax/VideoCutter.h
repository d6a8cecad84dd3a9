#pragma once

#include "Scanner.h"
#include "UnitStore.h"
#include "VideoPacketBuilder.h"

#include <cstddef>
#include <cstdint>

// Cuts an MPEG video elementary stream into picture units, one per output unit, as the
// scanner finds their boundaries. The open unit carries the beginning of the next picture from
// one input to the next. A finished unit becomes a C3 packet (own format), or keeps its bytes
// and is stamped with its display time (pass-through).
class VideoCutter
{
public:
    enum class Format
    {
        C3Packets,
        PassThrough,
    };

    // Output buffers must hold at least this many bytes.
    static constexpr std::size_t kBufferSize = 296960;

    explicit VideoCutter(Scanner& scanner);

    // Cuts one input sample. False when the store could give no unit; what was cut so far
    // stays in the store.
    bool Cut(const std::uint8_t* pData, std::size_t cbData, Format format, IUnitStore& store);
    // Finishes the open unit, which holds the stream's last picture, at end of stream.
    void FinishOpenUnit(Format format, IUnitStore& store);

    // Clock back to 0 (Stop).
    void RestartClock() { m_rtClock = 0; }
    // Clock and previous packet length back to 0 (new segment).
    void Restart();

private:
    // Rescans the open unit's last bytes together with the first bytes of the input, so that a
    // start code split between two inputs is found; cbConsumed tells how many input bytes the
    // boundary found there took.
    bool ScanSeam(const std::uint8_t* pData, std::size_t cbData, Format format, IUnitStore& store,
                  std::size_t& cbConsumed);
    // The open unit, or a fresh one.
    bool TakeUnit(IUnitStore& store, UnitBuffer& unit);
    // A fresh unit stamped with the next clock span.
    bool TakeFresh(IUnitStore& store, UnitBuffer& unit);
    // Finishes a unit ended by a boundary (an empty one is released), then opens a fresh one
    // with the boundary's start code.
    bool StartNextUnit(UnitBuffer& unit, const std::uint8_t* pStartCode, Format format,
                       IUnitStore& store);
    void FinishUnit(UnitBuffer& unit, Format format, IUnitStore& store);
    void StampUnit(const UnitBuffer& unit, IUnitStore& store);

    Scanner& m_scanner;
    VideoPacketBuilder m_builder;
    std::int64_t m_rtClock = 0;
};
