#include "VideoRendererFilter.h"

#include <cstring>
#include <new>

CVideoRendererFilter::CVideoRendererFilter(LPUNKNOWN pUnk, HRESULT* phr)
    : CStockRendererFilter(NAME("Video renderer"), pUnk, CLSID_VideoRenderer, phr, L"Input")
{
}

HRESULT CVideoRendererFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (ppv && riid == IID_IVideoWindow)
        return GetInterface(static_cast<IVideoWindow*>(this), ppv);
    if (ppv && riid == IID_IQualProp)
        return GetInterface(static_cast<IQualProp*>(this), ppv);
    return CStockRendererFilter::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CVideoRendererFilter::CheckInputType(const CMediaType* pmt)
{
    Rgb32Format format;
    return Rgb32Format::FromMediaType(*pmt, &format) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CVideoRendererFilter::StartStreaming()
{
    if (!Rgb32Format::FromMediaType(InputPin()->CurrentMediaType(), &m_Format))
        return VFW_E_TYPE_NOT_ACCEPTED;
    m_pFlipped.reset();
    if (!m_Format.bTopDown)
    {
        m_pFlipped.reset(new (std::nothrow) BYTE[size_t(m_Format.ImageSize())]);
        if (!m_pFlipped)
            return E_OUTOFMEMORY;
    }
    m_Window.SetVideoSize(m_Format.width, m_Format.height);
    m_Window.OnStreamingStarted();
    m_Statistics.Reset();
    return S_OK;
}

const BYTE* CVideoRendererFilter::TopDownPixels(const BYTE* pData)
{
    if (m_Format.bTopDown)
        return pData;
    const size_t cbRow = size_t(m_Format.Stride());
    for (LONG row = 0; row < m_Format.height; ++row)
        std::memcpy(m_pFlipped.get() + size_t(row) * cbRow,
                    pData + size_t(m_Format.height - 1 - row) * cbRow, cbRow);
    return m_pFlipped.get();
}

HRESULT CVideoRendererFilter::Present(IMediaSample* pSample, const AM_SAMPLE2_PROPERTIES& props,
                                      REFERENCE_TIME tLate)
{
    if (tLate > kMaxLateness)
    {
        m_Statistics.OnDropped();
        return S_OK;
    }
    BYTE* pData = nullptr;
    pSample->GetPointer(&pData);
    if (!pData || props.lActual < m_Format.ImageSize() || pSample->GetSize() < m_Format.ImageSize())
        return S_OK; // not a whole picture: nothing to draw
    m_Window.Present(TopDownPixels(pData), m_Format.width, m_Format.height, m_Format.Stride());
    REFERENCE_TIME tNow = 0;
    ClockTime(&tNow);
    m_Statistics.OnDrawn(tNow, tLate);
    return S_OK;
}

HRESULT CVideoRendererFilter::put_Caption(BSTR strCaption)
{
    m_Window.SetCaption(strCaption ? std::wstring(strCaption, SysStringLen(strCaption))
                                   : std::wstring());
    return S_OK;
}

HRESULT CVideoRendererFilter::get_Caption(BSTR* strCaption)
{
    if (!strCaption)
        return E_POINTER;
    const std::wstring caption = m_Window.Caption();
    *strCaption = SysAllocStringLen(caption.c_str(), UINT(caption.size()));
    return *strCaption ? S_OK : E_OUTOFMEMORY;
}

HRESULT CVideoRendererFilter::put_WindowStyle(LONG WindowStyle)
{
    m_Window.SetStyle(WindowStyle);
    return S_OK;
}

HRESULT CVideoRendererFilter::get_WindowStyle(LONG* WindowStyle)
{
    if (!WindowStyle)
        return E_POINTER;
    *WindowStyle = m_Window.Style();
    return S_OK;
}

HRESULT CVideoRendererFilter::put_AutoShow(LONG AutoShow)
{
    m_Window.SetAutoShow(AutoShow != OAFALSE);
    return S_OK;
}

HRESULT CVideoRendererFilter::get_AutoShow(LONG* AutoShow)
{
    if (!AutoShow)
        return E_POINTER;
    *AutoShow = m_Window.AutoShow() ? OATRUE : OAFALSE;
    return S_OK;
}

HRESULT CVideoRendererFilter::put_Visible(LONG Visible)
{
    m_Window.SetVisible(Visible != OAFALSE);
    return S_OK;
}

HRESULT CVideoRendererFilter::get_Visible(LONG* pVisible)
{
    if (!pVisible)
        return E_POINTER;
    *pVisible = m_Window.Visible() ? OATRUE : OAFALSE;
    return S_OK;
}

HRESULT CVideoRendererFilter::put_Owner(OAHWND Owner)
{
    return m_Window.SetOwner(Owner);
}

HRESULT CVideoRendererFilter::get_Owner(OAHWND* Owner)
{
    if (!Owner)
        return E_POINTER;
    *Owner = m_Window.Owner();
    return S_OK;
}

HRESULT CVideoRendererFilter::SetWindowPosition(LONG Left, LONG Top, LONG Width, LONG Height)
{
    return m_Window.SetPosition(Left, Top, Width, Height);
}

HRESULT CVideoRendererFilter::GetWindowPosition(LONG* pLeft, LONG* pTop, LONG* pWidth,
                                                LONG* pHeight)
{
    if (!pLeft || !pTop || !pWidth || !pHeight)
        return E_POINTER;
    m_Window.GetPosition(pLeft, pTop, pWidth, pHeight);
    return S_OK;
}

HRESULT CVideoRendererFilter::GetVideoSize(LONG* pWidth, LONG* pHeight)
{
    if (!pWidth || !pHeight)
        return E_POINTER;
    CAutoLock lock(&m_csFilter);
    Rgb32Format format;
    if (!Rgb32Format::FromMediaType(InputPin()->CurrentMediaType(), &format))
        return VFW_E_NOT_CONNECTED;
    *pWidth = format.width;
    *pHeight = format.height;
    return S_OK;
}

namespace
{
HRESULT Answer(int* pValue, int value)
{
    if (!pValue)
        return E_POINTER;
    *pValue = value;
    return S_OK;
}
} // namespace

HRESULT CVideoRendererFilter::get_FramesDroppedInRenderer(int* pcFrames)
{
    return Answer(pcFrames, m_Statistics.FramesDropped());
}

HRESULT CVideoRendererFilter::get_FramesDrawn(int* pcFramesDrawn)
{
    return Answer(pcFramesDrawn, m_Statistics.FramesDrawn());
}

HRESULT CVideoRendererFilter::get_AvgFrameRate(int* piAvgFrameRate)
{
    return Answer(piAvgFrameRate, m_Statistics.AvgFrameRate());
}

HRESULT CVideoRendererFilter::get_Jitter(int* iJitter)
{
    return Answer(iJitter, m_Statistics.Jitter());
}

HRESULT CVideoRendererFilter::get_AvgSyncOffset(int* piAvg)
{
    return Answer(piAvg, m_Statistics.AvgSyncOffset());
}

HRESULT CVideoRendererFilter::get_DevSyncOffset(int* piDev)
{
    return Answer(piDev, m_Statistics.DevSyncOffset());
}
