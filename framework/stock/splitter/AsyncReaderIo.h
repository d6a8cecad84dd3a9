#pragma once

// Reads a pull-model source through IAsyncReader (synchronous reads on the
// caller's thread), front to back with ReadNext or as an FFmpeg I/O context with
// seeking. Reads are clamped to the source's length; for the I/O context a read
// the source cannot complete counts as the end of the data.

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
    // Sequential reading: back to the first byte, then up to cbMax bytes at a time.
    // S_OK with *pcbRead > 0, S_FALSE at the end (a short read included), or the
    // reader's failure.
    void Rewind() { m_llPosition = 0; }
    HRESULT ReadNext(uint8_t* pBuffer, LONG cbMax, LONG* pcbRead);

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
