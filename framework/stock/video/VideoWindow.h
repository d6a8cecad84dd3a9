#pragma once

// The video renderer's window: its owner, style, caption, place and visibility,
// and the showing of pictures in the owner's surface (IVideoOwnerSurface).
//
// Without an owner pictures go nowhere. With one, each picture is handed to the
// owner while the window is visible, and every change of place or visibility is
// passed on. Calls into the surface are made under the window's lock: once
// SetOwner returns, the previous owner is never called again, so the
// application may destroy it.

#include "streams.h"

#include <mutex>
#include <string>

class VideoWindow
{
public:
    ~VideoWindow();

    // The picture size: until the application places the window, it is placed
    // at 0, 0 with that size.
    void SetVideoSize(LONG width, LONG height);

    HRESULT SetOwner(OAHWND owner);
    OAHWND Owner();
    void SetStyle(LONG style);
    LONG Style();
    void SetCaption(std::wstring caption);
    std::wstring Caption();
    void SetAutoShow(bool bAutoShow);
    bool AutoShow();
    void SetVisible(bool bVisible);
    bool Visible();
    HRESULT SetPosition(LONG left, LONG top, LONG width, LONG height);
    void GetPosition(LONG* pLeft, LONG* pTop, LONG* pWidth, LONG* pHeight);

    // Streaming starts: a window set to show itself becomes visible.
    void OnStreamingStarted();
    // One picture: B, G, R, X pixels, rows of cbStride bytes, top row first.
    void Present(const BYTE* pPixels, LONG width, LONG height, LONG cbStride);

private:
    IVideoOwnerSurface* OwnerSurfaceLocked() const;
    void PlaceLocked();

    std::mutex m_mutex;
    OAHWND m_Owner = 0;
    LONG m_Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    std::wstring m_Caption = L"ActiveMovie Window";
    bool m_bAutoShow = true;
    bool m_bVisible = false;
    LONG m_Left = 0;
    LONG m_Top = 0;
    LONG m_Width = 0;
    LONG m_Height = 0;
    bool m_bPlacedByApplication = false;
};
