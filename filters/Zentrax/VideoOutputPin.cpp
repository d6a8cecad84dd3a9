#include "VideoOutputPin.h"

#include "OstrelMediaTypesUUIDS.h"
#include "VideoCutter.h"
#include "VideoInputPin.h"
#include "ZentraxFilter.h"

namespace
{
enum TypePosition
{
    kOwnUnits = 0,
    kInputType = 1,
};
} // namespace

VideoOutputPin::VideoOutputPin(ZentraxFilter* pFilter, CCritSec* pLock, HRESULT* phr)
    : ZentraxOutputPin(pFilter, pLock, pFilter->VideoReceiveLock(), phr, L"Xform Out")
{
}

HRESULT VideoOutputPin::CheckMediaType(const CMediaType* pmt)
{
    if (*pmt->Type() == MEDIATYPE_Video && *pmt->Subtype() == MEDIASUBTYPE_OstrelVideo)
        return S_OK;
    const ZentraxInputPin* pInput = MatchingInput();
    if (pInput && pInput->IsConnected() && pInput->CurrentMediaType() == *pmt)
        return S_OK;
    return S_FALSE;
}

HRESULT VideoOutputPin::GetMediaType(int iPosition, CMediaType* pmt)
{
    if (iPosition == kOwnUnits)
    {
        pmt->InitMediaType();
        pmt->SetType(&MEDIATYPE_Video);
        pmt->SetSubtype(&MEDIASUBTYPE_OstrelVideo);
        pmt->SetFormatType(&FORMAT_None);
        pmt->SetVariableSize();
        pmt->SetTemporalCompression(TRUE);
        return S_OK;
    }
    const ZentraxInputPin* pInput = MatchingInput();
    if (iPosition == kInputType && pInput && pInput->IsConnected())
        return pmt->Set(pInput->CurrentMediaType());
    return VFW_S_NO_MORE_ITEMS;
}

ZentraxInputPin* VideoOutputPin::MatchingInput() const
{
    return m_pZentrax->VideoInput();
}

HRESULT VideoOutputPin::SetPathType(const CMediaType& mt)
{
    return m_pZentrax->VideoPath().SetOutputType(mt);
}

LONG VideoOutputPin::MinBufferSize() const
{
    return static_cast<LONG>(VideoCutter::kBufferSize);
}
