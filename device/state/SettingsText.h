#pragma once
// The settings' registry text, e.g. "standard=1 width=720 height=480 mpeg1=0 ...".
// Reading goes through the same rules as a Set, under what the device offers, group by
// group, so a value that was edited by hand into something the device would refuse
// (or that its caps no longer offer) falls back to its default and the device never
// starts from broken settings.

#include "DeviceSettings.h"

#include <string>
#include <string_view>

std::string EncodeSettings(const DeviceSettings& settings);
DeviceSettings DecodeSettings(std::string_view text, const DeviceCaps& caps);
