#pragma once

#include <com/Guid.h>

// The muxer filter "Ostrel Muxer".
// {33083E67-402E-4D65-A6DE-5ABD2539A505}
DEFINE_GUID(CLSID_OstrelMuxer, 0x33083E67, 0x402E, 0x4D65, 0xA6, 0xDE, 0x5A, 0xBD, 0x25, 0x39, 0xA5,
            0x05);
