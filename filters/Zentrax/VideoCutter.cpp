#include "VideoCutter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{
constexpr std::size_t kStartCodeLength = 4;
// Most bytes a unit may collect: in the own format the headers and padding still need room.
constexpr std::size_t kPacketPayloadLimit =
    VideoCutter::kBufferSize - VideoPacketBuilder::kHeaderRoom;
constexpr std::size_t kPassThroughLimit = VideoCutter::kBufferSize;

// Own-format units are stamped with a running clock of this step (100-ns units).
constexpr std::int64_t kClockStep = 330000;
// Pass-through units last this long from their display time.
constexpr std::int64_t kPassThroughDuration = 333333;
constexpr double kUnitsPerSecond = 1e7;

std::size_t PayloadLimit(VideoCutter::Format format, std::size_t cbBuffer)
{
    if (format == VideoCutter::Format::PassThrough)
        return std::min(kPassThroughLimit, cbBuffer);
    const std::size_t cbRoom = std::min(cbBuffer, VideoPacketBuilder::kHeaderRoom);
    return std::min(kPacketPayloadLimit, cbBuffer - cbRoom);
}
} // namespace

VideoCutter::VideoCutter(Scanner& scanner) : m_scanner(scanner), m_builder(scanner)
{
}

void VideoCutter::Restart()
{
    m_rtClock = 0;
    m_builder.Restart();
}

bool VideoCutter::Cut(const std::uint8_t* pData, std::size_t cbData, Format format,
                      IUnitStore& store)
{
    std::size_t nPos = 0;
    if (!ScanSeam(pData, cbData, format, store, nPos))
        return false;
    while (nPos < cbData)
    {
        UnitBuffer unit;
        if (!TakeUnit(store, unit))
            return false;
        const std::size_t cbLimit = PayloadLimit(format, unit.cbSize);
        if (unit.cbActual >= cbLimit)
        {
            FinishUnit(unit, format, store);
            continue;
        }

        // Where the limit forces a cut, the window reaches 4 bytes past it, so that a start
        // code across the cut is still examined.
        const std::size_t cbRest = cbData - nPos;
        std::size_t cbCopy = std::min(cbLimit - unit.cbActual, cbRest);
        const std::ptrdiff_t nBoundary =
            m_scanner.FindBoundary(pData + nPos, 0, std::min(cbCopy + kStartCodeLength, cbRest));
        const bool bBoundary = nBoundary != Scanner::kNoBoundary;
        if (bBoundary)
            cbCopy = static_cast<std::size_t>(nBoundary);

        std::memcpy(unit.pData + unit.cbActual, pData + nPos, cbCopy);
        unit.cbActual += cbCopy;
        nPos += cbCopy;
        if (bBoundary)
        {
            if (!StartNextUnit(unit, pData + nPos, format, store))
                return false;
            nPos += kStartCodeLength;
        }
        else if (unit.cbActual == cbLimit)
            FinishUnit(unit, format, store);
        else
            store.KeepOpen(unit);
    }
    return true;
}

// Only start codes with a byte after them in the seam are examined, so a boundary found here
// begins within the open unit's tail, never among the input bytes scanned next.
bool VideoCutter::ScanSeam(const std::uint8_t* pData, std::size_t cbData, Format format,
                           IUnitStore& store, std::size_t& cbConsumed)
{
    cbConsumed = 0;
    UnitBuffer unit;
    if (!store.TakeOpen(unit))
        return true;
    const std::size_t cbTail = std::min(unit.cbActual, kStartCodeLength);
    const std::size_t cbHead = std::min(cbData, kStartCodeLength);
    std::uint8_t seam[2 * kStartCodeLength];
    std::memcpy(seam, unit.pData + unit.cbActual - cbTail, cbTail);
    std::memcpy(seam + cbTail, pData, cbHead);

    const std::ptrdiff_t nBoundary = m_scanner.FindBoundary(seam, 0, cbTail + cbHead);
    if (nBoundary == Scanner::kNoBoundary)
    {
        store.KeepOpen(unit);
        return true;
    }
    const auto cbBeforeBoundary = static_cast<std::size_t>(nBoundary);
    unit.cbActual -= cbTail - cbBeforeBoundary;
    cbConsumed = cbBeforeBoundary + kStartCodeLength - cbTail;
    return StartNextUnit(unit, seam + cbBeforeBoundary, format, store);
}

bool VideoCutter::TakeUnit(IUnitStore& store, UnitBuffer& unit)
{
    return store.TakeOpen(unit) || TakeFresh(store, unit);
}

bool VideoCutter::TakeFresh(IUnitStore& store, UnitBuffer& unit)
{
    const UnitTimes times{m_rtClock, m_rtClock + kClockStep};
    if (!store.TakeFresh(unit, times))
        return false;
    m_rtClock = times.rtStop;
    return true;
}

// Every boundary opens a fresh unit on the next clock span, even where the unit it ends is
// empty (a stream that begins with a start code), so own-format units keep their clock steps.
bool VideoCutter::StartNextUnit(UnitBuffer& unit, const std::uint8_t* pStartCode, Format format,
                                IUnitStore& store)
{
    if (unit.cbActual > 0)
        FinishUnit(unit, format, store);
    else
        store.Discard();
    if (!TakeFresh(store, unit))
        return false;
    std::memcpy(unit.pData, pStartCode, kStartCodeLength);
    unit.cbActual = kStartCodeLength;
    store.KeepOpen(unit);
    return true;
}

void VideoCutter::FinishOpenUnit(Format format, IUnitStore& store)
{
    UnitBuffer unit;
    if (!store.TakeOpen(unit))
        return;
    if (unit.cbActual > 0)
        FinishUnit(unit, format, store);
    else
        store.Discard();
}

void VideoCutter::FinishUnit(UnitBuffer& unit, Format format, IUnitStore& store)
{
    if (format == Format::PassThrough)
        StampUnit(unit, store);
    else if (m_builder.Build(unit))
        store.Complete(unit);
    else
        store.Discard();
}

// Units before the first sequence header have no frame rate to time them by: they go out
// without times.
void VideoCutter::StampUnit(const UnitBuffer& unit, IUnitStore& store)
{
    m_scanner.ParseUnit(unit.pData, unit.cbActual);
    if (m_scanner.FrameRate() <= 0.0)
    {
        store.SetTimes(nullptr);
    }
    else
    {
        const std::int64_t rtStart = std::llround(m_scanner.DisplayTime() * kUnitsPerSecond);
        const UnitTimes times{rtStart, rtStart + kPassThroughDuration};
        store.SetTimes(&times);
    }
    store.Complete(unit);
}
