#pragma once
// Media type description, format blocks, allocator properties and the sample
// property block, with the documented field order and layout.

#include "com/HResult.h"
#include "com/Unknown.h"

struct AM_MEDIA_TYPE
{
    GUID majortype;
    GUID subtype;
    BOOL bFixedSizeSamples;
    BOOL bTemporalCompression;
    ULONG lSampleSize;
    GUID formattype;
    IUnknown* pUnk;
    ULONG cbFormat;
    /// Allocated with CoTaskMemAlloc; owned by the media type.
    BYTE* pbFormat;
};

/// Frees the format block and releases pUnk; the structure itself stays.
void FreeMediaType(AM_MEDIA_TYPE& mt);
/// FreeMediaType, then CoTaskMemFree of the structure (null allowed).
void DeleteMediaType(AM_MEDIA_TYPE* pmt);
/// Deep copy into an uninitialised target; E_OUTOFMEMORY leaves the target with
/// no format block.
HRESULT CopyMediaType(AM_MEDIA_TYPE* pmtTarget, const AM_MEDIA_TYPE* pmtSource);
/// A deep copy in task memory; null on failure. Free with DeleteMediaType.
AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE* pSrc);

struct ALLOCATOR_PROPERTIES
{
    LONG cBuffers;
    LONG cbBuffer;
    LONG cbAlign;
    LONG cbPrefix;
};

// Sample flags of AM_SAMPLE2_PROPERTIES::dwSampleFlags.
inline constexpr DWORD AM_SAMPLE_SPLICEPOINT = 0x01;
inline constexpr DWORD AM_SAMPLE_PREROLL = 0x02;
inline constexpr DWORD AM_SAMPLE_DATADISCONTINUITY = 0x04;
inline constexpr DWORD AM_SAMPLE_TYPECHANGED = 0x08;
inline constexpr DWORD AM_SAMPLE_TIMEVALID = 0x10;
inline constexpr DWORD AM_SAMPLE_TIMEDISCONTINUITY = 0x40;
inline constexpr DWORD AM_SAMPLE_FLUSH_ON_PAUSE = 0x80;
inline constexpr DWORD AM_SAMPLE_STOPVALID = 0x100;
inline constexpr DWORD AM_SAMPLE_ENDOFSTREAM = 0x200;

// Stream ids of AM_SAMPLE2_PROPERTIES::dwStreamId.
inline constexpr DWORD AM_STREAM_MEDIA = 0;
inline constexpr DWORD AM_STREAM_CONTROL = 1;

struct AM_SAMPLE2_PROPERTIES
{
    DWORD cbData; ///< size of the structure the caller passes
    DWORD dwTypeSpecificFlags;
    DWORD dwSampleFlags;
    LONG lActual;
    REFERENCE_TIME tStart;
    REFERENCE_TIME tStop;
    DWORD dwStreamId;
    AM_MEDIA_TYPE* pMediaType;
    BYTE* pbBuffer;
    LONG cbBuffer;
};

// IMemAllocator::GetBuffer flags.
inline constexpr DWORD AM_GBF_PREVFRAMESKIPPED = 1;
inline constexpr DWORD AM_GBF_NOTASYNCPOINT = 2;
inline constexpr DWORD AM_GBF_NOWAIT = 4;

// Format blocks. The wave format is byte-packed as in the SDK (18 bytes).
inline constexpr WORD WAVE_FORMAT_PCM = 0x0001;
inline constexpr WORD WAVE_FORMAT_MPEG = 0x0050;
inline constexpr WORD WAVE_FORMAT_MPEGLAYER3 = 0x0055;
inline constexpr WORD WAVE_FORMAT_DOLBY_AC3_SPDIF = 0x0092;

#pragma pack(push, 1)
struct WAVEFORMATEX
{
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize; ///< extra bytes after the structure
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);

inline constexpr DWORD BI_RGB = 0;

struct BITMAPINFOHEADER
{
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct VIDEOINFOHEADER
{
    RECT rcSource;
    RECT rcTarget;
    DWORD dwBitRate;
    DWORD dwBitErrorRate;
    REFERENCE_TIME AvgTimePerFrame;
    BITMAPINFOHEADER bmiHeader;
};
static_assert(sizeof(VIDEOINFOHEADER) == 88);

// VIDEOINFOHEADER2::dwInterlaceFlags.
inline constexpr DWORD AMINTERLACE_IsInterlaced = 0x00000001;
inline constexpr DWORD AMINTERLACE_1FieldPerSample = 0x00000002;
inline constexpr DWORD AMINTERLACE_Field1First = 0x00000004;

struct VIDEOINFOHEADER2
{
    RECT rcSource;
    RECT rcTarget;
    DWORD dwBitRate;
    DWORD dwBitErrorRate;
    REFERENCE_TIME AvgTimePerFrame;
    DWORD dwInterlaceFlags;
    DWORD dwCopyProtectFlags;
    DWORD dwPictAspectRatioX;
    DWORD dwPictAspectRatioY;
    union
    {
        DWORD dwControlFlags;
        DWORD dwReserved1;
    };
    DWORD dwReserved2;
    BITMAPINFOHEADER bmiHeader;
};
static_assert(sizeof(VIDEOINFOHEADER2) == 112);

struct MPEG1VIDEOINFO
{
    VIDEOINFOHEADER hdr;
    DWORD dwStartTimeCode;
    DWORD cbSequenceHeader;
    BYTE bSequenceHeader[1];
};

// MPEG2VIDEOINFO::dwProfile and dwLevel.
inline constexpr DWORD AM_MPEG2Profile_Simple = 1;
inline constexpr DWORD AM_MPEG2Profile_Main = 2;
inline constexpr DWORD AM_MPEG2Level_Low = 1;
inline constexpr DWORD AM_MPEG2Level_Main = 2;
inline constexpr DWORD AM_MPEG2Level_High1440 = 3;
inline constexpr DWORD AM_MPEG2Level_High = 4;

struct MPEG2VIDEOINFO
{
    VIDEOINFOHEADER2 hdr;
    DWORD dwStartTimeCode;
    DWORD cbSequenceHeader;
    DWORD dwProfile;
    DWORD dwLevel;
    DWORD dwFlags;
    DWORD dwSequenceHeader[1];
};
static_assert(sizeof(MPEG2VIDEOINFO) == 136);

/// Size of an MPEG1VIDEOINFO / MPEG2VIDEOINFO format block carrying a sequence
/// header of cb bytes.
constexpr ULONG SIZE_MPEG1VIDEOINFO(ULONG cb)
{
    return ULONG(offsetof(MPEG1VIDEOINFO, bSequenceHeader)) + cb;
}
constexpr ULONG SIZE_MPEG2VIDEOINFO(ULONG cb)
{
    return ULONG(offsetof(MPEG2VIDEOINFO, dwSequenceHeader)) + cb;
}
