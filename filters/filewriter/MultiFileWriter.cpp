#include "MultiFileWriter.h"

#include "LmrFileWriterUUIDS.h"

#include <new>

namespace
{
// Accepts any stream and drops what it receives.
class CMultiFileWriterInputPin : public CRenderedInputPin
{
public:
    CMultiFileWriterInputPin(CBaseFilter* pFilter, CCritSec* pLock, HRESULT* phr)
        : CRenderedInputPin(NAME("Writer input"), pFilter, pLock, phr, L"Input")
    {
    }

    HRESULT CheckMediaType(const CMediaType*) override { return S_OK; }
    HRESULT ReceiveCanBlock() override { return S_FALSE; }
};
} // namespace

CUnknown* CMultiFileWriter::CreateInstance(LPUNKNOWN pUnk, HRESULT* phr)
{
    CUnknown* pWriter = new (std::nothrow) CMultiFileWriter(pUnk, phr);
    if (!pWriter && phr)
        *phr = E_OUTOFMEMORY;
    return pWriter;
}

CMultiFileWriter::CMultiFileWriter(LPUNKNOWN pUnk, HRESULT* phr)
    : CBaseFilter(NAME("Lumaro File Writer"), pUnk, &m_Lock, CLSID_LmrFileWriter),
      m_pPin(new (std::nothrow) CMultiFileWriterInputPin(this, &m_Lock, phr))
{
    if (!m_pPin && phr)
        *phr = E_OUTOFMEMORY;
}

CMultiFileWriter::~CMultiFileWriter()
{
    delete m_pPin;
}

CBasePin* CMultiFileWriter::GetPin(int n)
{
    return n == 0 ? m_pPin : nullptr;
}
