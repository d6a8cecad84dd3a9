#include "AsyncReaderIo.h"

#include <algorithm>
#include <cstdio>

extern "C"
{
#include <libavformat/avio.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

namespace
{
constexpr int kBufferSize = 256 * 1024;
} // namespace

AsyncReaderIo::~AsyncReaderIo()
{
    Close();
}

HRESULT AsyncReaderIo::Open(IAsyncReader* pReader)
{
    Close();
    LONGLONG llTotal = 0;
    LONGLONG llAvailable = 0;
    const HRESULT hr = pReader->Length(&llTotal, &llAvailable);
    if (FAILED(hr))
        return hr;
    auto* pBuffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
    if (!pBuffer)
        return E_OUTOFMEMORY;
    m_pContext = avio_alloc_context(pBuffer, kBufferSize, 0, this, ReadPacket, nullptr, Seek);
    if (!m_pContext)
    {
        av_free(pBuffer);
        return E_OUTOFMEMORY;
    }
    m_pReader = pReader;
    m_pReader->AddRef();
    m_llLength = std::max<LONGLONG>(llTotal, 0);
    m_llPosition = 0;
    return S_OK;
}

void AsyncReaderIo::Close()
{
    if (m_pContext)
    {
        av_freep(&m_pContext->buffer);
        avio_context_free(&m_pContext);
    }
    if (m_pReader)
    {
        m_pReader->Release();
        m_pReader = nullptr;
    }
    m_llPosition = 0;
    m_llLength = 0;
}

int AsyncReaderIo::ReadPacket(void* pOpaque, uint8_t* pBuffer, int cbBuffer)
{
    return static_cast<AsyncReaderIo*>(pOpaque)->Read(pBuffer, cbBuffer);
}

int64_t AsyncReaderIo::Seek(void* pOpaque, int64_t offset, int whence)
{
    return static_cast<AsyncReaderIo*>(pOpaque)->SeekTo(offset, whence);
}

int AsyncReaderIo::Read(uint8_t* pBuffer, int cbBuffer)
{
    LONG cbRead = 0;
    return ReadNext(pBuffer, cbBuffer, &cbRead) == S_OK ? int(cbRead) : AVERROR_EOF;
}

HRESULT AsyncReaderIo::ReadNext(uint8_t* pBuffer, LONG cbMax, LONG* pcbRead)
{
    *pcbRead = 0;
    const LONGLONG llPosition = m_llPosition;
    const LONG cbRead = LONG(std::min<LONGLONG>(cbMax, m_llLength - llPosition));
    if (cbRead <= 0)
        return S_FALSE;
    // A short read leaves the number of bytes unknown: what follows is lost.
    const HRESULT hr = m_pReader->SyncRead(llPosition, cbRead, pBuffer);
    if (hr != S_OK)
        return FAILED(hr) ? hr : S_FALSE;
    m_llPosition = llPosition + cbRead;
    *pcbRead = cbRead;
    return S_OK;
}

int64_t AsyncReaderIo::SeekTo(int64_t offset, int whence)
{
    LONGLONG llTarget = 0;
    switch (whence & ~AVSEEK_FORCE)
    {
    case AVSEEK_SIZE:
        return m_llLength;
    case SEEK_SET:
        llTarget = offset;
        break;
    case SEEK_CUR:
        llTarget = m_llPosition + offset;
        break;
    case SEEK_END:
        llTarget = m_llLength + offset;
        break;
    default:
        return AVERROR(EINVAL);
    }
    if (llTarget < 0 || llTarget > m_llLength)
        return AVERROR(EINVAL);
    m_llPosition = llTarget;
    return llTarget;
}
