#include "AsyncReader.h"

CAsyncReader::CAsyncReader(LPCTSTR pName, LPUNKNOWN pUnk, CAsyncStream* pStream, HRESULT* phr)
    : CBaseFilter(pName, pUnk, &m_csFilter, CLSID_AsyncReader), m_Io(pStream),
      m_OutputPin(phr, this, &m_Io, &m_csFilter)
{
}

CAsyncReader::~CAsyncReader() = default;
