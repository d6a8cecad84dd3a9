#include "VideoWindow.h"

VideoWindow::~VideoWindow()
{
    SetOwner(0);
}

IVideoOwnerSurface* VideoWindow::OwnerSurfaceLocked() const
{
    return reinterpret_cast<IVideoOwnerSurface*>(m_Owner);
}

void VideoWindow::PlaceLocked()
{
    if (IVideoOwnerSurface* pSurface = OwnerSurfaceLocked())
        pSurface->PlaceVideo(m_Left, m_Top, m_Width, m_Height, m_bVisible);
}

void VideoWindow::SetVideoSize(LONG width, LONG height)
{
    std::lock_guard lock(m_mutex);
    if (m_bPlacedByApplication)
        return;
    m_Width = width;
    m_Height = height;
    PlaceLocked();
}

HRESULT VideoWindow::SetOwner(OAHWND owner)
{
    std::lock_guard lock(m_mutex);
    if (owner == m_Owner)
        return S_OK;
    if (IVideoOwnerSurface* pOld = OwnerSurfaceLocked())
        pOld->ReleaseVideo();
    m_Owner = owner;
    PlaceLocked();
    return S_OK;
}

OAHWND VideoWindow::Owner()
{
    std::lock_guard lock(m_mutex);
    return m_Owner;
}

void VideoWindow::SetStyle(LONG style)
{
    std::lock_guard lock(m_mutex);
    m_Style = style;
}

LONG VideoWindow::Style()
{
    std::lock_guard lock(m_mutex);
    return m_Style;
}

void VideoWindow::SetCaption(std::wstring caption)
{
    std::lock_guard lock(m_mutex);
    m_Caption = std::move(caption);
}

std::wstring VideoWindow::Caption()
{
    std::lock_guard lock(m_mutex);
    return m_Caption;
}

void VideoWindow::SetAutoShow(bool bAutoShow)
{
    std::lock_guard lock(m_mutex);
    m_bAutoShow = bAutoShow;
}

bool VideoWindow::AutoShow()
{
    std::lock_guard lock(m_mutex);
    return m_bAutoShow;
}

void VideoWindow::SetVisible(bool bVisible)
{
    std::lock_guard lock(m_mutex);
    if (bVisible == m_bVisible)
        return;
    m_bVisible = bVisible;
    PlaceLocked();
}

bool VideoWindow::Visible()
{
    std::lock_guard lock(m_mutex);
    return m_bVisible;
}

HRESULT VideoWindow::SetPosition(LONG left, LONG top, LONG width, LONG height)
{
    if (width < 0 || height < 0)
        return E_INVALIDARG;
    std::lock_guard lock(m_mutex);
    m_bPlacedByApplication = true;
    m_Left = left;
    m_Top = top;
    m_Width = width;
    m_Height = height;
    PlaceLocked();
    return S_OK;
}

void VideoWindow::GetPosition(LONG* pLeft, LONG* pTop, LONG* pWidth, LONG* pHeight)
{
    std::lock_guard lock(m_mutex);
    *pLeft = m_Left;
    *pTop = m_Top;
    *pWidth = m_Width;
    *pHeight = m_Height;
}

void VideoWindow::OnStreamingStarted()
{
    std::lock_guard lock(m_mutex);
    if (!m_bAutoShow || m_bVisible)
        return;
    m_bVisible = true;
    PlaceLocked();
}

void VideoWindow::Present(const BYTE* pPixels, LONG width, LONG height, LONG cbStride)
{
    std::lock_guard lock(m_mutex);
    IVideoOwnerSurface* pSurface = OwnerSurfaceLocked();
    if (pSurface && m_bVisible)
        pSurface->PresentPicture(pPixels, width, height, cbStride);
}
