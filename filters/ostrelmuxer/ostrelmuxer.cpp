// Module unit of OstrelMuxer: the class factory table and the registration
// data of the "Ostrel Muxer" filter.

#include "OstrelMediaTypesUUIDS.h"
#include "OstrelMuxerFilter.h"
#include "OstrelMuxerUUIDS.h"

#include "streams.h"

namespace
{
const AMOVIESETUP_MEDIATYPE sudVideoInTypes[] = {{&MEDIATYPE_Video, &MEDIASUBTYPE_OstrelVideo}};
const AMOVIESETUP_MEDIATYPE sudAudioInTypes[] = {{&MEDIATYPE_Audio, &MEDIASUBTYPE_NULL}};
const AMOVIESETUP_MEDIATYPE sudOutputTypes[] = {{&MEDIATYPE_Stream, &MEDIASUBTYPE_C3Stream}};

WCHAR szVideoIn[] = L"Video In";
WCHAR szAudioIn[] = L"Audio In";
WCHAR szOutput[] = L"8888CAFE Output";

const AMOVIESETUP_PIN sudPins[] = {
    {szVideoIn, FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, L"", 1, sudVideoInTypes},
    {szAudioIn, FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, L"", 1, sudAudioInTypes},
    {szOutput, FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, L"", 1, sudOutputTypes},
};

const AMOVIESETUP_FILTER sudOstrelMuxer = {&CLSID_OstrelMuxer, L"Ostrel Muxer", MERIT_DO_NOT_USE,
                                           NUMELMS(sudPins), sudPins};
} // namespace

CFactoryTemplate g_Templates[] = {
    {L"Ostrel Muxer", &CLSID_OstrelMuxer, OstrelMuxerFilter::CreateInstance, nullptr,
     &sudOstrelMuxer},
};
int g_cTemplates = NUMELMS(g_Templates);
