// Module unit of LmrFileReader: the class factory table and the registration
// data of the "Lumaro Multi File Reader" filter.

#include "LmrFileReaderUUIDS.h"
#include "MultiFileReader.h"

#include "streams.h"

namespace
{
const AMOVIESETUP_MEDIATYPE sudOutputTypes[] = {{&MEDIATYPE_Stream, &MEDIASUBTYPE_NULL}};

WCHAR szOutput[] = L"Output";

const AMOVIESETUP_PIN sudPins[] = {
    {szOutput, FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, L"Input", 1, sudOutputTypes},
};

const AMOVIESETUP_FILTER sudLmrFileReader = {&CLSID_LmrFileReader, L"Lumaro Multi File Reader",
                                             MERIT_UNLIKELY, NUMELMS(sudPins), sudPins};
} // namespace

CFactoryTemplate g_Templates[] = {
    {L"Lumaro Multi File Reader", &CLSID_LmrFileReader, CMultiFileReader::CreateInstance, nullptr,
     &sudLmrFileReader},
};
int g_cTemplates = NUMELMS(g_Templates);
