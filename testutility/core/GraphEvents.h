#pragma once

// What a graph event means to the utility: whether it ends the running
// operation, and the message the user sees for it (null when none).

#include <com/Types.h>

struct GraphEventEffect
{
    bool bEndsOperation;
    const char* pszMessage;
};

GraphEventEffect EffectOfGraphEvent(LONG code);
