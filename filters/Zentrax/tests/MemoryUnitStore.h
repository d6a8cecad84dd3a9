#pragma once

#include "UnitStore.h"

#include <cstdint>
#include <optional>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// An IUnitStore over plain memory: each unit is a buffer of a fixed size, finished units are
// kept in order with their times. It can be told to run out of buffers.
class MemoryUnitStore : public IUnitStore
{
public:
    struct Unit
    {
        Bytes bytes;
        std::optional<UnitTimes> times;
    };

    explicit MemoryUnitStore(std::size_t cbBuffer) : m_cbBuffer(cbBuffer) {}

    bool TakeOpen(UnitBuffer& unit) override;
    bool TakeFresh(UnitBuffer& unit, const UnitTimes& times) override;
    void KeepOpen(const UnitBuffer& unit) override;
    void SetTimes(const UnitTimes* pTimes) override;
    void Complete(const UnitBuffer& unit) override;
    void Discard() override;

    // Fresh units still to be had; negative means no limit.
    void LimitFreshUnits(int nUnits) { m_nFreshLeft = nUnits; }

    const std::vector<Unit>& Completed() const { return m_completed; }
    int Discarded() const { return m_nDiscarded; }
    bool HasOpen() const { return m_open.has_value(); }
    Bytes OpenBytes() const;
    std::optional<UnitTimes> OpenTimes() const;

private:
    struct Slot
    {
        Bytes buffer;
        std::size_t cbActual = 0;
        std::optional<UnitTimes> times;
    };

    void MakeCurrent(Slot slot, UnitBuffer& unit);

    const std::size_t m_cbBuffer;
    int m_nFreshLeft = -1;
    std::optional<Slot> m_open;
    std::optional<Slot> m_current;
    std::vector<Unit> m_completed;
    int m_nDiscarded = 0;
};
