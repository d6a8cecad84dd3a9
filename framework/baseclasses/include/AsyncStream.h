#pragma once

// CAsyncStream: the byte stream an asynchronous reader filter reads from.
//
// The reader's I/O object holds Lock around each positioning and read, so a
// stream sees SetPointer followed by Read without another caller in between.
// Implementations must allow Lock to be taken again by the thread holding it.

#include <com/HResult.h>
#include <com/Types.h>

class CAsyncStream
{
public:
    virtual ~CAsyncStream() = default;

    // Moves the read position. S_OK, or a failure/S_FALSE for a position the
    // stream cannot take.
    virtual HRESULT SetPointer(LONGLONG llPos) = 0;
    // Reads up to dwBytesToRead bytes at the position; *pdwBytesRead tells how
    // many came (fewer at the end of the stream).
    virtual HRESULT Read(BYTE* pbBuffer, DWORD dwBytesToRead, BOOL bAlign, DWORD* pdwBytesRead) = 0;
    // Total length; *pSizeAvailable (optional) receives what can be read now.
    virtual LONGLONG Size(LONGLONG* pSizeAvailable = nullptr) = 0;
    // Required alignment of positions, lengths and buffers (a power of 2).
    virtual DWORD Alignment() = 0;
    virtual void Lock() = 0;
    virtual void Unlock() = 0;
};
