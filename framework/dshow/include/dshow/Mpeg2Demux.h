#pragma once
// The MPEG-2 demultiplexer's control interfaces for program streams: output pins
// made on request, and on each pin the map of the stream ids it delivers.

#include "com/Unknown.h"
#include "dshow/Filters.h"
#include "dshow/MediaType.h"
#include "dshow/Uuids.h"

// What an output pin delivers of a mapped stream (MediaSampleContent).
inline constexpr DWORD MPEG2_PROGRAM_STREAM_MAP = 0x00000000;
inline constexpr DWORD MPEG2_PROGRAM_ELEMENTARY_STREAM = 0x00000001;
inline constexpr DWORD MPEG2_PROGRAM_DIRECTORY_PES_PACKET = 0x00000002;
inline constexpr DWORD MPEG2_PROGRAM_PACK_HEADER = 0x00000003;
inline constexpr DWORD MPEG2_PROGRAM_PES_STREAM = 0x00000004;
inline constexpr DWORD MPEG2_PROGRAM_SYSTEM_HEADER = 0x00000005;
/// No substream filtering: every packet of the stream id is delivered.
inline constexpr ULONG SUBSTREAM_FILTER_VAL_NONE = 0x10000000;

struct STREAM_ID_MAP
{
    ULONG stream_id;
    DWORD dwMediaSampleContent;
    ULONG ulSubstreamFilterValue;
    int iDataOffset;
};

struct IEnumStreamIdMap : IUnknown
{
    virtual HRESULT Next(ULONG cRequest, STREAM_ID_MAP* pStreamIdMap, ULONG* pcReceived) = 0;
    virtual HRESULT Skip(ULONG cRecords) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumStreamIdMap** ppIEnumStreamIdMap) = 0;

protected:
    ~IEnumStreamIdMap() = default;
};
DECLARE_INTERFACE_IID(IEnumStreamIdMap, IID_IEnumStreamIdMap);

struct IMPEG2StreamIdMap : IUnknown
{
    /// Delivers stream ulStreamId on this pin, each payload from iDataOffset bytes
    /// on. With a data offset and a substream filter value other than
    /// SUBSTREAM_FILTER_VAL_NONE, only packets whose first payload byte equals the
    /// value's low byte; without an offset the value is not used.
    virtual HRESULT MapStreamId(ULONG ulStreamId, DWORD MediaSampleContent,
                                ULONG ulSubstreamFilterValue, int iDataOffset) = 0;
    virtual HRESULT UnmapStreamId(ULONG culStreamId, ULONG* pulStreamId) = 0;
    virtual HRESULT EnumStreamIdMap(IEnumStreamIdMap** ppIEnumStreamIdMap) = 0;

protected:
    ~IMPEG2StreamIdMap() = default;
};
DECLARE_INTERFACE_IID(IMPEG2StreamIdMap, IID_IMPEG2StreamIdMap);

struct IMpeg2Demultiplexer : IUnknown
{
    virtual HRESULT CreateOutputPin(AM_MEDIA_TYPE* pMediaType, LPWSTR pszPinName,
                                    IPin** ppIPin) = 0;
    virtual HRESULT SetOutputPinMediaType(LPWSTR pszPinName, AM_MEDIA_TYPE* pMediaType) = 0;
    virtual HRESULT DeleteOutputPin(LPWSTR pszPinName) = 0;

protected:
    ~IMpeg2Demultiplexer() = default;
};
DECLARE_INTERFACE_IID(IMpeg2Demultiplexer, IID_IMpeg2Demultiplexer);
