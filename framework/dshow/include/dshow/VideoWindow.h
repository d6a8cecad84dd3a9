#pragma once
// The video renderer's window and quality interfaces, and what a video window's
// owner is on this platform.
//
// IVideoWindow::put_Owner takes an OAHWND. There are no native window handles
// here: an owner is an IVideoOwnerSurface that the application implements, passed
// as its pointer value (reinterpret_cast<OAHWND>(pSurface)); 0 means no owner. A
// renderer with an owner hands every picture it draws to the surface, inside the
// rectangle of SetWindowPosition while the window is visible. Without an owner the
// renderer draws to nothing, still paced by the clock: an application that wants a
// window opens one itself and passes its surface as the owner.

#include "com/Unknown.h"
#include "com/Variant.h"
#include "dshow/Uuids.h"

using OAHWND = LONG_PTR;
using OAEVENT = LONG_PTR;
inline constexpr LONG OATRUE = -1;
inline constexpr LONG OAFALSE = 0;

// Window styles the utility gives a video window.
inline constexpr LONG WS_CHILD = 0x40000000;
inline constexpr LONG WS_VISIBLE = 0x10000000;
inline constexpr LONG WS_CLIPSIBLINGS = 0x04000000;
inline constexpr LONG WS_CLIPCHILDREN = 0x02000000;
inline constexpr LONG WS_OVERLAPPEDWINDOW = 0x00CF0000;

/// The application's side of an owned video window. The renderer calls it on its
/// streaming thread (pictures) and on the thread that changes the window (place,
/// release), always under its window lock; the application must not call back
/// into the renderer from it.
struct IVideoOwnerSurface
{
    /// Where the video goes in the owner's client area, and whether it shows.
    virtual void PlaceVideo(LONG left, LONG top, LONG width, LONG height, bool bVisible) = 0;
    /// One picture to show now: 32-bit pixels in B, G, R, X byte order, rows of
    /// cbStride bytes, top row first. Valid only during the call.
    virtual void PresentPicture(const BYTE* pPixels, LONG width, LONG height, LONG cbStride) = 0;
    /// The renderer no longer draws here (a new owner, or the renderer is gone).
    virtual void ReleaseVideo() = 0;

protected:
    ~IVideoOwnerSurface() = default;
};

/// The subset of the platform's IVideoWindow that the utility uses. The graph
/// manager answers it by forwarding to its video renderer (E_NOINTERFACE without one).
struct IVideoWindow : IUnknown
{
    virtual HRESULT put_Caption(BSTR strCaption) = 0;
    virtual HRESULT get_Caption(BSTR* strCaption) = 0;
    virtual HRESULT put_WindowStyle(LONG WindowStyle) = 0;
    virtual HRESULT get_WindowStyle(LONG* WindowStyle) = 0;
    virtual HRESULT put_AutoShow(LONG AutoShow) = 0;
    virtual HRESULT get_AutoShow(LONG* AutoShow) = 0;
    virtual HRESULT put_Visible(LONG Visible) = 0;
    virtual HRESULT get_Visible(LONG* pVisible) = 0;
    virtual HRESULT put_Owner(OAHWND Owner) = 0;
    virtual HRESULT get_Owner(OAHWND* Owner) = 0;
    virtual HRESULT SetWindowPosition(LONG Left, LONG Top, LONG Width, LONG Height) = 0;
    virtual HRESULT GetWindowPosition(LONG* pLeft, LONG* pTop, LONG* pWidth, LONG* pHeight) = 0;
    /// The picture's own size.
    virtual HRESULT GetVideoSize(LONG* pWidth, LONG* pHeight) = 0;

protected:
    ~IVideoWindow() = default;
};
DECLARE_INTERFACE_IID(IVideoWindow, IID_IVideoWindow);

/// A renderer's counts of the pictures it drew and dropped.
struct IQualProp : IUnknown
{
    virtual HRESULT get_FramesDroppedInRenderer(int* pcFrames) = 0;
    virtual HRESULT get_FramesDrawn(int* pcFramesDrawn) = 0;
    /// Frames per second times 100.
    virtual HRESULT get_AvgFrameRate(int* piAvgFrameRate) = 0;
    /// Standard deviation of the time between pictures, in milliseconds.
    virtual HRESULT get_Jitter(int* iJitter) = 0;
    /// Average of (time drawn - time due), in milliseconds.
    virtual HRESULT get_AvgSyncOffset(int* piAvg) = 0;
    virtual HRESULT get_DevSyncOffset(int* piDev) = 0;

protected:
    ~IQualProp() = default;
};
DECLARE_INTERFACE_IID(IQualProp, IID_IQualProp);
