#pragma once
// Identifier of the test module's one class.

#include "com/Guid.h"

#define TEST_MODULE_EXPORT __attribute__((visibility("default")))

DEFINE_GUID(CLSID_TestModuleObject, 0x6b1e3f2a, 0x51c4, 0x4d7e, 0x9a, 0x0b, 0x2f, 0x71, 0x8c, 0x44,
            0xd1, 0x09);
