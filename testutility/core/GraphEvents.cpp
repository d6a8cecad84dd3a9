#include "GraphEvents.h"

#include <dshow/dshow.h>

GraphEventEffect EffectOfGraphEvent(LONG code)
{
    switch (code)
    {
    case EC_COMPLETE:
    case EC_USERABORT:
    case EC_END_OF_SEGMENT:
        return {true, nullptr};
    case EC_ERRORABORT:
        return {true, "An operation was aborted because of an error"};
    case EC_STREAM_ERROR_STOPPED:
        return {true, "A stream has stopped because of an error"};
    case EC_STARVATION:
        return {true, "A filter is not receiving enough data"};
    case EC_SNDDEV_IN_ERROR:
        return {true, "An audio device error has occurred\non an input pin"};
    case EC_SNDDEV_OUT_ERROR:
        return {true, "An audio device error has occurred\non an output pin"};
    default:
        return {false, nullptr};
    }
}
