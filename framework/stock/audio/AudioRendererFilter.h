#pragma once

// The stock audio renderer: plain PCM in (8, 16 or 32 bits), played through the
// machine's sound system (ALSA) at each sample's time on the graph's clock. The
// device is "default", or the one $MARVEK_AUDIO_DEVICE names. Without a device
// the samples are consumed at their time all the same, so the stream keeps its
// pace; completion is reported once the last sample's time is over.

#include "AlsaPlayback.h"
#include "PcmFormat.h"
#include "render/StockRendererFilter.h"

#include "streams.h"

#include <atomic>

class CAudioRendererFilter : public CStockRendererFilter
{
public:
    CAudioRendererFilter(LPUNKNOWN pUnk, HRESULT* phr);

    HRESULT CheckInputType(const CMediaType* pmt) override;

    // Whether the samples of this run go to a sound device.
    bool IsPlayingToDevice() const { return m_bPlayingToDevice; }

protected:
    HRESULT StartStreaming() override;
    void StopStreaming() override;
    HRESULT Present(IMediaSample* pSample, const AM_SAMPLE2_PROPERTIES& props,
                    REFERENCE_TIME tLate) override;

private:
    AlsaPlayback m_Playback; // receive lock
    std::atomic<bool> m_bPlayingToDevice{false};
};
