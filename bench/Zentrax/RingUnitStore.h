#pragma once

#include "UnitStore.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// A unit store for benchmarks: fresh units come from a fixed ring of buffers, finished units
// are only counted, so the store itself costs next to nothing and never allocates.
class RingUnitStore : public IUnitStore
{
public:
    RingUnitStore(std::size_t nBuffers, std::size_t cbBuffer)
        : m_buffers(nBuffers, std::vector<std::uint8_t>(cbBuffer))
    {
    }

    bool TakeOpen(UnitBuffer& unit) override
    {
        if (!m_bOpen)
            return false;
        m_bOpen = false;
        unit = m_open;
        return true;
    }

    bool TakeFresh(UnitBuffer& unit, const UnitTimes& times) override
    {
        std::vector<std::uint8_t>& buffer = m_buffers[m_nNext++ % m_buffers.size()];
        unit = UnitBuffer{buffer.data(), buffer.size(), 0, times.rtStart};
        return true;
    }

    void KeepOpen(const UnitBuffer& unit) override
    {
        m_open = unit;
        m_bOpen = true;
    }

    void SetTimes(const UnitTimes*) override {}
    void Complete(const UnitBuffer& unit) override { m_cbCompleted += unit.cbActual; }
    void Discard() override {}

    std::size_t CompletedBytes() const { return m_cbCompleted; }

private:
    std::vector<std::vector<std::uint8_t>> m_buffers;
    std::size_t m_nNext = 0;
    UnitBuffer m_open;
    bool m_bOpen = false;
    std::size_t m_cbCompleted = 0;
};
