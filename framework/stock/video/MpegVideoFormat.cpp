#include "MpegVideoFormat.h"

#include <cstdlib>

namespace
{
constexpr LONG kMaxDimension = 8192;

// The picture size of a video header: the bitmap's, else the source rectangle's.
template <class THeader> void ReadHeader(const THeader& header, MpegVideoFormat* pFormat)
{
    LONG width = header.bmiHeader.biWidth;
    LONG height = std::labs(header.bmiHeader.biHeight);
    if (width == 0 || height == 0)
    {
        width = header.rcSource.right - header.rcSource.left;
        height = header.rcSource.bottom - header.rcSource.top;
    }
    pFormat->width = width;
    pFormat->height = height;
    pFormat->avgTimePerFrame = header.AvgTimePerFrame > 0 ? header.AvgTimePerFrame : 0;
}

bool IsMpeg1Subtype(const GUID& subtype)
{
    return subtype == MEDIASUBTYPE_MPEG1Payload || subtype == MEDIASUBTYPE_MPEG1Packet;
}
} // namespace

bool MpegVideoFormat::FromMediaType(const CMediaType& mt, MpegVideoFormat* pFormat)
{
    if (mt.majortype != MEDIATYPE_Video || !mt.pbFormat)
        return false;
    MpegVideoFormat format;
    if (mt.subtype == MEDIASUBTYPE_MPEG2_VIDEO && mt.formattype == FORMAT_MPEG2Video &&
        mt.cbFormat >= sizeof(VIDEOINFOHEADER2))
    {
        format.codecId = AV_CODEC_ID_MPEG2VIDEO;
        ReadHeader(reinterpret_cast<const MPEG2VIDEOINFO*>(mt.pbFormat)->hdr, &format);
    }
    else if (IsMpeg1Subtype(mt.subtype) && mt.formattype == FORMAT_MPEGVideo &&
             mt.cbFormat >= sizeof(VIDEOINFOHEADER))
    {
        format.codecId = AV_CODEC_ID_MPEG1VIDEO;
        ReadHeader(reinterpret_cast<const MPEG1VIDEOINFO*>(mt.pbFormat)->hdr, &format);
    }
    else
    {
        return false;
    }
    if (format.width <= 0 || format.width > kMaxDimension || format.height <= 0 ||
        format.height > kMaxDimension)
        return false;
    *pFormat = format;
    return true;
}
