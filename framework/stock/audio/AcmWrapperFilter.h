#pragma once

// The stock ACM wrapper: plain PCM in (8, 16 or 32 bits, any rate, one to eight
// channels), 16-bit PCM out, resampled and remixed with libswresample. Its first
// output type is 48 kHz 16-bit stereo; the second keeps the input's rate.

#include "PcmConverter.h"
#include "PcmTransformFilter.h"

class CAcmWrapperFilter : public CPcmTransformFilter
{
public:
    CAcmWrapperFilter(LPUNKNOWN pUnk, HRESULT* phr);

    HRESULT CheckInputType(const CMediaType* pmt) override;
    HRESULT GetOutputType(const CMediaType& mtIn, int iPosition, CMediaType* pmt) override;

protected:
    HRESULT StartStreaming(const CMediaType& mtIn, const PcmFormat& out) override;
    void StopStreaming() override;
    HRESULT Transform(const BYTE* pData, LONG cbData, bool bDiscontinuity) override;
    HRESULT Drain() override;
    void ResetState() override;

private:
    PcmConverter m_Converter;
    PcmFormat m_InFormat;
};
