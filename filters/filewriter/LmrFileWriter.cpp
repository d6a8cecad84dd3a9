// Module unit of LmrFileWriter: the class factory table and the registration
// data of the "Lumaro File Writer" filter.

#include "LmrFileWriterUUIDS.h"
#include "MultiFileWriter.h"

#include "streams.h"

namespace
{
const AMOVIESETUP_MEDIATYPE sudInputTypes[] = {{&MEDIATYPE_NULL, &MEDIASUBTYPE_NULL}};

WCHAR szInput[] = L"Input";

const AMOVIESETUP_PIN sudPins[] = {
    {szInput, FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, L"Output", 1, sudInputTypes},
};

const AMOVIESETUP_FILTER sudLmrFileWriter = {&CLSID_LmrFileWriter, L"Lumaro File Writer",
                                             MERIT_DO_NOT_USE, NUMELMS(sudPins), sudPins};
} // namespace

CFactoryTemplate g_Templates[] = {
    {L"Lumaro File Writer", &CLSID_LmrFileWriter, CMultiFileWriter::CreateInstance, nullptr,
     &sudLmrFileWriter},
};
int g_cTemplates = NUMELMS(g_Templates);
