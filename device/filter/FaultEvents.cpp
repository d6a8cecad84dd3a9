#include "FaultEvents.h"

void NotifyFaultEvent(CBaseFilter* pFilter, const FaultEvent& event)
{
    switch (event.code)
    {
    case EC_ERRORABORT:
    case EC_STREAM_ERROR_STOPPED:
        pFilter->NotifyEvent(event.code, event.result, 0);
        break;
    case EC_SNDDEV_IN_ERROR:
        pFilter->NotifyEvent(event.code, SNDDEV_ERROR_AddBuffer, event.result);
        break;
    case EC_SNDDEV_OUT_ERROR:
        pFilter->NotifyEvent(event.code, SNDDEV_ERROR_Write, event.result);
        break;
    case EC_STARVATION:
        pFilter->NotifyEvent(event.code, 0, 0);
        break;
    default:
        break;
    }
}
