// Module unit of Zentrax: the class factory table and the registration data of
// the "Ostrel ZENTRAX" filter. Its pin table describes all four pins; the two
// inputs are registered.

#include "OstrelMediaTypesUUIDS.h"
#include "ZentraxFilter.h"
#include "ZentraxUUIDS.h"

#include "streams.h"

namespace
{
const AMOVIESETUP_MEDIATYPE sudAudioInTypes[] = {{&MEDIATYPE_Audio, &MEDIASUBTYPE_PCM}};
const AMOVIESETUP_MEDIATYPE sudVideoInTypes[] = {{&MEDIATYPE_Video, &MEDIASUBTYPE_NULL}};
const AMOVIESETUP_MEDIATYPE sudAudioOutTypes[] = {{&MEDIATYPE_Audio, &MEDIASUBTYPE_PCM},
                                                  {&MEDIATYPE_Audio, &MEDIASUBTYPE_OstrelAudio}};
const AMOVIESETUP_MEDIATYPE sudVideoOutTypes[] = {{&MEDIATYPE_Video, &MEDIASUBTYPE_NULL}};

WCHAR szAudioIn[] = L"Audio In";
WCHAR szVideoIn[] = L"Video In";
WCHAR szAudioOut[] = L"DeadCafe Out";
WCHAR szVideoOut[] = L"Xform Out";

const AMOVIESETUP_PIN sudPins[] = {
    {szAudioIn, FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, L"", 1, sudAudioInTypes},
    {szVideoIn, FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, L"", 1, sudVideoInTypes},
    {szAudioOut, FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, L"", NUMELMS(sudAudioOutTypes),
     sudAudioOutTypes},
    {szVideoOut, FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, L"", 1, sudVideoOutTypes},
};
const UINT kRegisteredPins = 2;

const AMOVIESETUP_FILTER sudZentrax = {&CLSID_Zentrax, L"Ostrel ZENTRAX", MERIT_DO_NOT_USE,
                                       kRegisteredPins, sudPins};
} // namespace

CFactoryTemplate g_Templates[] = {
    {L"Ostrel ZENTRAX", &CLSID_Zentrax, ZentraxFilter::CreateInstance, nullptr, &sudZentrax},
};
int g_cTemplates = NUMELMS(g_Templates);
