#pragma once

// The stock video renderer: draws each RGB32 picture at its time on the graph's
// clock (CStockRendererFilter) and drops pictures that come too late, counting
// both (IQualProp). Its window (IVideoWindow) is the owner's surface when the
// application gives one (VideoWindow.h, dshow/VideoWindow.h); without an owner
// pictures are paced and counted but shown nowhere.

#include "RenderStatistics.h"
#include "Rgb32Format.h"
#include "VideoWindow.h"
#include "render/StockRendererFilter.h"

#include "streams.h"

#include <memory>

class CVideoRendererFilter : public CStockRendererFilter, public IVideoWindow, public IQualProp
{
public:
    CVideoRendererFilter(LPUNKNOWN pUnk, HRESULT* phr);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT CheckInputType(const CMediaType* pmt) override;

    // IVideoWindow
    HRESULT put_Caption(BSTR strCaption) override;
    HRESULT get_Caption(BSTR* strCaption) override;
    HRESULT put_WindowStyle(LONG WindowStyle) override;
    HRESULT get_WindowStyle(LONG* WindowStyle) override;
    HRESULT put_AutoShow(LONG AutoShow) override;
    HRESULT get_AutoShow(LONG* AutoShow) override;
    HRESULT put_Visible(LONG Visible) override;
    HRESULT get_Visible(LONG* pVisible) override;
    HRESULT put_Owner(OAHWND Owner) override;
    HRESULT get_Owner(OAHWND* Owner) override;
    HRESULT SetWindowPosition(LONG Left, LONG Top, LONG Width, LONG Height) override;
    HRESULT GetWindowPosition(LONG* pLeft, LONG* pTop, LONG* pWidth, LONG* pHeight) override;
    HRESULT GetVideoSize(LONG* pWidth, LONG* pHeight) override;

    // IQualProp
    HRESULT get_FramesDroppedInRenderer(int* pcFrames) override;
    HRESULT get_FramesDrawn(int* pcFramesDrawn) override;
    HRESULT get_AvgFrameRate(int* piAvgFrameRate) override;
    HRESULT get_Jitter(int* iJitter) override;
    HRESULT get_AvgSyncOffset(int* piAvg) override;
    HRESULT get_DevSyncOffset(int* piDev) override;

    // A picture later than this is dropped.
    static constexpr REFERENCE_TIME kMaxLateness = 30 * 10000;

protected:
    HRESULT StartStreaming() override;
    HRESULT Present(IMediaSample* pSample, const AM_SAMPLE2_PROPERTIES& props,
                    REFERENCE_TIME tLate) override;

private:
    const BYTE* TopDownPixels(const BYTE* pData);

    Rgb32Format m_Format;               // of the connection, set when streaming starts
    std::unique_ptr<BYTE[]> m_pFlipped; // bottom-up pictures turned the right way up
    VideoWindow m_Window;
    RenderStatistics m_Statistics;
};
