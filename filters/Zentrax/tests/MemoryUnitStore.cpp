#include "MemoryUnitStore.h"

#include <gtest/gtest.h>

#include <utility>

bool MemoryUnitStore::TakeOpen(UnitBuffer& unit)
{
    EXPECT_FALSE(m_current) << "a unit is still current";
    if (!m_open)
        return false;
    Slot slot = std::move(*m_open);
    m_open.reset();
    MakeCurrent(std::move(slot), unit);
    return true;
}

bool MemoryUnitStore::TakeFresh(UnitBuffer& unit, const UnitTimes& times)
{
    EXPECT_FALSE(m_current) << "a unit is still current";
    if (m_nFreshLeft == 0)
        return false;
    if (m_nFreshLeft > 0)
        --m_nFreshLeft;
    Slot slot;
    slot.buffer.assign(m_cbBuffer, 0xEE);
    slot.times = times;
    MakeCurrent(std::move(slot), unit);
    return true;
}

void MemoryUnitStore::MakeCurrent(Slot slot, UnitBuffer& unit)
{
    m_current = std::move(slot);
    unit.pData = m_current->buffer.data();
    unit.cbSize = m_current->buffer.size();
    unit.cbActual = m_current->cbActual;
    unit.rtStart = m_current->times ? m_current->times->rtStart : 0;
}

void MemoryUnitStore::KeepOpen(const UnitBuffer& unit)
{
    ASSERT_TRUE(m_current);
    ASSERT_FALSE(m_open) << "two units open";
    ASSERT_LE(unit.cbActual, m_current->buffer.size());
    m_current->cbActual = unit.cbActual;
    m_open = std::move(m_current);
    m_current.reset();
}

void MemoryUnitStore::SetTimes(const UnitTimes* pTimes)
{
    ASSERT_TRUE(m_current);
    m_current->times = pTimes ? std::optional<UnitTimes>(*pTimes) : std::nullopt;
}

void MemoryUnitStore::Complete(const UnitBuffer& unit)
{
    ASSERT_TRUE(m_current);
    ASSERT_LE(unit.cbActual, m_current->buffer.size());
    Bytes& buffer = m_current->buffer;
    m_completed.push_back(
        {Bytes(buffer.begin(), buffer.begin() + unit.cbActual), m_current->times});
    m_current.reset();
}

void MemoryUnitStore::Discard()
{
    ASSERT_TRUE(m_current);
    m_current.reset();
    ++m_nDiscarded;
}

Bytes MemoryUnitStore::OpenBytes() const
{
    if (!m_open)
        return {};
    return Bytes(m_open->buffer.begin(), m_open->buffer.begin() + m_open->cbActual);
}

std::optional<UnitTimes> MemoryUnitStore::OpenTimes() const
{
    return m_open ? m_open->times : std::nullopt;
}
