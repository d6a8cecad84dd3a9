#pragma once

#include <com/Guid.h>

// The transformation filter "Ostrel ZENTRAX".
// {5825BB6F-F40B-4BF2-8192-B02B3177355A}
DEFINE_GUID(CLSID_Zentrax, 0x5825BB6F, 0xF40B, 0x4BF2, 0x81, 0x92, 0xB0, 0x2B, 0x31, 0x77, 0x35,
            0x5A);
