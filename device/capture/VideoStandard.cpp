#include "VideoStandard.h"

namespace
{
// NTSC M; PAL B, D and G. A GOP is kept under half a second: 14 frames at 29.97/s
// (0.47 s) and 12 at 25/s (0.48 s).
constexpr VideoStandard kStandards[] = {
    {1, "NTSC", 30000, 1001, 480, 14},
    {16, "PAL", 25, 1, 576, 12},
    {32, "PAL", 25, 1, 576, 12},
    {64, "PAL", 25, 1, 576, 12},
};
} // namespace

const VideoStandard* FindVideoStandard(std::int32_t id)
{
    for (const VideoStandard& standard : kStandards)
        if (standard.id == id)
            return &standard;
    return nullptr;
}
