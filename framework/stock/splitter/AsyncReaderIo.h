#pragma once

// An FFmpeg I/O context that reads a pull-model source through IAsyncReader
// (synchronous reads on the caller's thread), with seeking. Reads are clamped to
// the source's length; a read the source cannot complete counts as the end of
// the data.

#include "streams.h"

#include <atomic>

struct AVIOContext;

class AsyncReaderIo
{
public:
    AsyncReaderIo() = default;
    ~AsyncReaderIo();
    AsyncReaderIo(const AsyncReaderIo&) = delete;
    AsyncReaderIo& operator=(const AsyncReaderIo&) = delete;

    HRESULT Open(IAsyncReader* pReader);
    void Close();

    AVIOContext* Context() const { return m_pContext; }
    // Where the next read starts, and the source's length, in bytes.
    LONGLONG Position() const { return m_llPosition; }
    LONGLONG Length() const { return m_llLength; }

private:
    static int ReadPacket(void* pOpaque, uint8_t* pBuffer, int cbBuffer);
    static int64_t Seek(void* pOpaque, int64_t offset, int whence);
    int Read(uint8_t* pBuffer, int cbBuffer);
    int64_t SeekTo(int64_t offset, int whence);

    IAsyncReader* m_pReader = nullptr; // holds a reference
    AVIOContext* m_pContext = nullptr;
    std::atomic<LONGLONG> m_llPosition{0};
    std::atomic<LONGLONG> m_llLength{0};
};
