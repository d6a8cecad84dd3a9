#pragma once
// Posts the event a fault plan tells a pin to post, as the device filter's own, with
// the parameters the platform documents for it: the result for EC_ERRORABORT and
// EC_STREAM_ERROR_STOPPED, how the sound device was being used and its error for
// EC_SNDDEV_IN_ERROR (adding a capture buffer) and EC_SNDDEV_OUT_ERROR (writing), none
// for EC_STARVATION. EC_COMPLETE is the graph's to post: nothing is posted for it.

#include "FaultPlan.h"

#include "streams.h"

void NotifyFaultEvent(CBaseFilter* pFilter, const FaultEvent& event);
