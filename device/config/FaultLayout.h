#pragma once
// The DEVICEPROP_FAULTS buffer (DeviceControlProperties.h) and the fault plan it
// carries. The caller keeps the buffer at least DeviceLayout::Faults::kSize bytes long.

#include "FaultPlan.h"

#include <cstdint>
#include <optional>

// Fills the payload after the 24-byte header (unused bytes zero, the header untouched).
void WriteFaultLayout(std::uint8_t* pBuffer, const FaultPlan& plan);
// The plan in the buffer; null when it is not one the device can follow.
std::optional<FaultPlan> ReadFaultLayout(const std::uint8_t* pBuffer);
