#pragma once

// The stock MPEG video decoder: MPEG-1 or MPEG-2 video in (from the MPEG-2
// demultiplexer's video pin or the splitter's), uncompressed RGB32 pictures out
// at the size the input type gives, top row first, for the video renderer.
//
// Samples are decoded on the upstream thread under the receive lock, and each
// picture is converted straight into an output sample and delivered before
// Receive returns. A picture carries the time of the input sample it started
// in; a picture without one follows its predecessor by a frame duration.
// End of stream first hands out the pictures the decoder still holds.
//
// Stop makes the pins inactive first (a thread waiting for an output buffer
// returns), then takes the receive lock and closes the decoder.

#include "MpegVideoDecoder.h"
#include "MpegVideoFormat.h"
#include "PictureConverter.h"
#include "Rgb32Format.h"
#include "TransformPins.h"

#include "streams.h"

#include <optional>

class CVideoDecoderFilter : public CBaseFilter,
                            public StockTransform,
                            private MpegVideoDecoder::Sink
{
public:
    CVideoDecoderFilter(LPUNKNOWN pUnk, HRESULT* phr);
    ~CVideoDecoderFilter() override;

    int GetPinCount() override { return 2; }
    CBasePin* GetPin(int n) override;

    HRESULT Stop() override;
    HRESULT Pause() override;

    // StockTransform: RGB32 pictures of the input's size are the one output type.
    HRESULT CheckInputType(const CMediaType* pmt) override;
    HRESULT GetOutputType(const CMediaType& mtIn, int iPosition, CMediaType* pmt) override;
    HRESULT CheckOutputType(const CMediaType& mtIn, const CMediaType* pmt) override;
    HRESULT DecideOutputBuffers(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest) override;
    HRESULT ReceiveSample(IMediaSample* pSample, const AM_SAMPLE2_PROPERTIES& props) override;
    HRESULT EndOfInput() override;
    void FlushInput() override;

    CTransformInputPin* InputPin() { return &m_InputPin; }
    CTransformOutputPin* OutputPin() { return &m_OutputPin; }

private:
    bool OnPicture(const AVFrame& frame) override;
    REFERENCE_TIME FrameDuration() const;
    void RestartTimes();

    CCritSec m_csFilter;
    CCritSec m_csReceive;
    CTransformInputPin m_InputPin;
    CTransformOutputPin m_OutputPin;

    // Streaming state (receive lock).
    MpegVideoDecoder m_Decoder{*this};
    PictureConverter m_Converter;
    MpegVideoFormat m_InFormat;
    Rgb32Format m_OutFormat;
    bool m_bStreaming = false;
    bool m_bDiscontinuity = true;
    std::optional<REFERENCE_TIME> m_tNext; // where the next picture starts
    HRESULT m_hrDelivery = S_OK;
};
