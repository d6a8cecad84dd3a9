#pragma once
// Streaming interfaces: media samples, allocators, push input pins, the pull
// reader and quality messages. These are called on streaming threads.

#include "com/Unknown.h"
#include "dshow/Filters.h"
#include "dshow/MediaType.h"
#include "dshow/Uuids.h"

struct IMediaSample : IUnknown
{
    virtual HRESULT GetPointer(BYTE** ppBuffer) = 0;
    virtual LONG GetSize() = 0;
    /// VFW_E_SAMPLE_TIME_NOT_SET when no time is set; VFW_S_NO_STOP_TIME when only
    /// the start is valid.
    virtual HRESULT GetTime(REFERENCE_TIME* pTimeStart, REFERENCE_TIME* pTimeEnd) = 0;
    /// Null pointers clear the times.
    virtual HRESULT SetTime(REFERENCE_TIME* pTimeStart, REFERENCE_TIME* pTimeEnd) = 0;
    virtual HRESULT IsSyncPoint() = 0;
    virtual HRESULT SetSyncPoint(BOOL bIsSyncPoint) = 0;
    virtual HRESULT IsPreroll() = 0;
    virtual HRESULT SetPreroll(BOOL bIsPreroll) = 0;
    virtual LONG GetActualDataLength() = 0;
    /// VFW_E_BUFFER_OVERFLOW when longer than the buffer.
    virtual HRESULT SetActualDataLength(LONG length) = 0;
    /// S_FALSE (and null) when the type did not change.
    virtual HRESULT GetMediaType(AM_MEDIA_TYPE** ppMediaType) = 0;
    virtual HRESULT SetMediaType(AM_MEDIA_TYPE* pMediaType) = 0;
    virtual HRESULT IsDiscontinuity() = 0;
    virtual HRESULT SetDiscontinuity(BOOL bDiscontinuity) = 0;
    virtual HRESULT GetMediaTime(LONGLONG* pTimeStart, LONGLONG* pTimeEnd) = 0;
    virtual HRESULT SetMediaTime(LONGLONG* pTimeStart, LONGLONG* pTimeEnd) = 0;

protected:
    ~IMediaSample() = default;
};
DECLARE_INTERFACE_IID(IMediaSample, IID_IMediaSample);

struct IMediaSample2 : IMediaSample
{
    /// Copies the first cbProperties bytes of the sample's AM_SAMPLE2_PROPERTIES.
    virtual HRESULT GetProperties(DWORD cbProperties, BYTE* pbProperties) = 0;
    virtual HRESULT SetProperties(DWORD cbProperties, const BYTE* pbProperties) = 0;

protected:
    ~IMediaSample2() = default;
};
DECLARE_INTERFACE_IID(IMediaSample2, IID_IMediaSample2);

struct IMemAllocator : IUnknown
{
    virtual HRESULT SetProperties(ALLOCATOR_PROPERTIES* pRequest,
                                  ALLOCATOR_PROPERTIES* pActual) = 0;
    virtual HRESULT GetProperties(ALLOCATOR_PROPERTIES* pProps) = 0;
    virtual HRESULT Commit() = 0;
    /// Releases threads waiting in GetBuffer (they get VFW_E_NOT_COMMITTED).
    virtual HRESULT Decommit() = 0;
    virtual HRESULT GetBuffer(IMediaSample** ppBuffer, REFERENCE_TIME* pStartTime,
                              REFERENCE_TIME* pEndTime, DWORD dwFlags) = 0;
    virtual HRESULT ReleaseBuffer(IMediaSample* pBuffer) = 0;

protected:
    ~IMemAllocator() = default;
};
DECLARE_INTERFACE_IID(IMemAllocator, IID_IMemAllocator);

struct IMemInputPin : IUnknown
{
    virtual HRESULT GetAllocator(IMemAllocator** ppAllocator) = 0;
    virtual HRESULT NotifyAllocator(IMemAllocator* pAllocator, BOOL bReadOnly) = 0;
    /// E_NOTIMPL when the pin has no requirements.
    virtual HRESULT GetAllocatorRequirements(ALLOCATOR_PROPERTIES* pProps) = 0;
    /// S_FALSE: stopped or flushing, deliver no more.
    virtual HRESULT Receive(IMediaSample* pSample) = 0;
    virtual HRESULT ReceiveMultiple(IMediaSample** pSamples, LONG nSamples,
                                    LONG* nSamplesProcessed) = 0;
    /// S_OK when Receive may block, S_FALSE when it never does.
    virtual HRESULT ReceiveCanBlock() = 0;

protected:
    ~IMemInputPin() = default;
};
DECLARE_INTERFACE_IID(IMemInputPin, IID_IMemInputPin);

struct IAsyncReader : IUnknown
{
    virtual HRESULT RequestAllocator(IMemAllocator* pPreferred, ALLOCATOR_PROPERTIES* pProps,
                                     IMemAllocator** ppActual) = 0;
    /// Queues a read into pSample at the position given by its start time (bytes
    /// times 10,000,000); the sample comes back from WaitForNext.
    virtual HRESULT Request(IMediaSample* pSample, DWORD_PTR dwUser) = 0;
    /// VFW_E_TIMEOUT when nothing completed in time; VFW_E_WRONG_STATE when flushing.
    virtual HRESULT WaitForNext(DWORD dwTimeout, IMediaSample** ppSample, DWORD_PTR* pdwUser) = 0;
    virtual HRESULT SyncReadAligned(IMediaSample* pSample) = 0;
    /// S_FALSE when fewer than lLength bytes were read.
    virtual HRESULT SyncRead(LONGLONG llPosition, LONG lLength, BYTE* pBuffer) = 0;
    virtual HRESULT Length(LONGLONG* pTotal, LONGLONG* pAvailable) = 0;
    virtual HRESULT BeginFlush() = 0;
    virtual HRESULT EndFlush() = 0;

protected:
    ~IAsyncReader() = default;
};
DECLARE_INTERFACE_IID(IAsyncReader, IID_IAsyncReader);

enum QualityMessageType
{
    Famine = 0,
    Flood = 1,
};

struct Quality
{
    QualityMessageType Type;
    LONG Proportion; ///< 1000 = full rate
    REFERENCE_TIME Late;
    REFERENCE_TIME TimeStamp;
};

struct IQualityControl : IUnknown
{
    virtual HRESULT Notify(IBaseFilter* pSelf, Quality q) = 0;
    virtual HRESULT SetSink(IQualityControl* piqc) = 0;

protected:
    ~IQualityControl() = default;
};
DECLARE_INTERFACE_IID(IQualityControl, IID_IQualityControl);
