#pragma once
// The analog video standards the device decodes, with the frame rate and picture
// height each implies.

#include <cstdint>

struct VideoStandard
{
    std::int32_t id;      // the analog decoder's TV format value
    const char* name;     // "NTSC" or "PAL"
    std::int32_t rateNum; // frames per second as rateNum / rateDen
    std::int32_t rateDen;
    std::int32_t lines;     // full picture height
    std::int32_t gopLength; // frames per GOP: a player can start within half a second
};

// The standard with this TV format value; null when there is none.
const VideoStandard* FindVideoStandard(std::int32_t id);
