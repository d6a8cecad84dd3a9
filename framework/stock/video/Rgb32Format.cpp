#include "Rgb32Format.h"

#include <cstdlib>
#include <cstring>

namespace
{
constexpr LONG kMaxDimension = 8192;
} // namespace

bool Rgb32Format::FromMediaType(const CMediaType& mt, Rgb32Format* pFormat)
{
    if (mt.majortype != MEDIATYPE_Video || mt.subtype != MEDIASUBTYPE_RGB32 ||
        mt.formattype != FORMAT_VideoInfo || mt.cbFormat < sizeof(VIDEOINFOHEADER) || !mt.pbFormat)
        return false;
    const auto* pInfo = reinterpret_cast<const VIDEOINFOHEADER*>(mt.pbFormat);
    const BITMAPINFOHEADER& bmi = pInfo->bmiHeader;
    const LONG height = std::labs(bmi.biHeight);
    if (bmi.biBitCount != 32 || bmi.biCompression != BI_RGB || bmi.biWidth <= 0 ||
        bmi.biWidth > kMaxDimension || height == 0 || height > kMaxDimension)
        return false;
    *pFormat = Rgb32Format{bmi.biWidth, height, bmi.biHeight < 0, pInfo->AvgTimePerFrame};
    return true;
}

HRESULT Rgb32Format::ToMediaType(CMediaType* pmt) const
{
    pmt->InitMediaType();
    pmt->SetType(&MEDIATYPE_Video);
    pmt->SetSubtype(&MEDIASUBTYPE_RGB32);
    pmt->SetFormatType(&FORMAT_VideoInfo);
    pmt->SetSampleSize(ULONG(ImageSize()));
    pmt->SetTemporalCompression(FALSE);
    auto* pInfo =
        reinterpret_cast<VIDEOINFOHEADER*>(pmt->AllocFormatBuffer(sizeof(VIDEOINFOHEADER)));
    if (!pInfo)
        return E_OUTOFMEMORY;
    std::memset(pInfo, 0, sizeof(VIDEOINFOHEADER));
    pInfo->AvgTimePerFrame = avgTimePerFrame;
    BITMAPINFOHEADER& bmi = pInfo->bmiHeader;
    bmi.biSize = sizeof(BITMAPINFOHEADER);
    bmi.biWidth = width;
    bmi.biHeight = bTopDown ? -height : height;
    bmi.biPlanes = 1;
    bmi.biBitCount = 32;
    bmi.biCompression = BI_RGB;
    bmi.biSizeImage = DWORD(ImageSize());
    return S_OK;
}
