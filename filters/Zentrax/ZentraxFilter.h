#pragma once

#include "PlaceholderPins.h"
#include "streams.h"

// The "Ostrel ZENTRAX" transformation filter. Its pins stand, in the order
// "Audio In", "DeadCafe Out", "Video In", "Xform Out"; the audio and video
// paths are not written yet.
class ZentraxFilter : public CBaseFilter
{
public:
    static CUnknown* CreateInstance(LPUNKNOWN pUnk, HRESULT* phr);

    ZentraxFilter(LPUNKNOWN pUnk, HRESULT* phr);
    ~ZentraxFilter() override;

    int GetPinCount() override;
    CBasePin* GetPin(int n) override;

private:
    static constexpr int kPinCount = 4;

    CCritSec m_csFilter;
    CBasePin* m_apPins[kPinCount] = {};
};
