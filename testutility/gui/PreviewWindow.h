#pragma once

// A window of its own for a video preview, for programs without a main window
// (the command line's capture and play on a machine with a display). It is an
// owner surface: the renderer's pictures fill it, scaled smoothly.

#include <dshow/VideoWindow.h>

#include <QWidget>

class VideoSurface;

class PreviewWindow : public QWidget, public IVideoOwnerSurface
{
    Q_OBJECT

public:
    explicit PreviewWindow(const QString& title);

    OAHWND OwnerHandle() { return reinterpret_cast<OAHWND>(static_cast<IVideoOwnerSurface*>(this)); }

    // IVideoOwnerSurface: the window takes the video's size and shows while it is visible.
    void PlaceVideo(LONG left, LONG top, LONG width, LONG height, bool bVisible) override;
    void PresentPicture(const BYTE* pPixels, LONG width, LONG height, LONG cbStride) override;
    void ReleaseVideo() override;

protected:
    void resizeEvent(QResizeEvent* pEvent) override;

private:
    VideoSurface* m_pSurface;
};
