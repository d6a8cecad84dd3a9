#pragma once

#include <cstddef>
#include <cstdint>

// The memory of the output unit being filled: one output sample's buffer.
struct UnitBuffer
{
    std::uint8_t* pData = nullptr;
    std::size_t cbSize = 0;   // bytes the buffer holds
    std::size_t cbActual = 0; // bytes of data in it
    std::int64_t rtStart = 0; // start time, 100-ns units
};

// A time span in 100-ns units.
struct UnitTimes
{
    std::int64_t rtStart = 0;
    std::int64_t rtStop = 0;
};

// Where a path's output units come from and go: the unit left open by the previous input,
// fresh units from the output allocator, and the queue of finished units. A store deals with
// one unit at a time, the current one, which each Take makes and each Keep, Complete or
// Discard ends.
class IUnitStore
{
public:
    virtual ~IUnitStore() = default;

    // Makes the unit left open by the previous input current; false when there is none.
    virtual bool TakeOpen(UnitBuffer& unit) = 0;
    // Makes a fresh, empty unit stamped with the given times current; false when none could
    // be had (the store keeps the reason). Its buffer holds at least the store's minimum.
    virtual bool TakeFresh(UnitBuffer& unit, const UnitTimes& times) = 0;
    // Keeps the current unit open, with unit.cbActual bytes, for the next input.
    virtual void KeepOpen(const UnitBuffer& unit) = 0;
    // Restamps the current unit; null takes its times away.
    virtual void SetTimes(const UnitTimes* pTimes) = 0;
    // Queues the current unit, with unit.cbActual bytes, for delivery.
    virtual void Complete(const UnitBuffer& unit) = 0;
    // Drops the current unit.
    virtual void Discard() = 0;
};
