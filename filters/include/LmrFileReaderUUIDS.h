#pragma once

#include <com/Guid.h>

// The multi-file reader "Lumaro Multi File Reader".
// {11BE557C-53B2-476C-8F53-387AAFAF7754}
DEFINE_GUID(CLSID_LmrFileReader, 0x11BE557C, 0x53B2, 0x476C, 0x8F, 0x53, 0x38, 0x7A, 0xAF, 0xAF,
            0x77, 0x54);
