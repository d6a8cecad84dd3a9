#pragma once

// The preview inside the main window: the video renderer's owner surface. The
// renderer places the video and hands it pictures on its own threads; each picture
// is copied once under a lock and drawn, scaled smoothly, on the user-interface
// thread.

#include <dshow/VideoWindow.h>

#include <QImage>
#include <QMutex>
#include <QWidget>

class VideoSurface : public QWidget, public IVideoOwnerSurface
{
    Q_OBJECT

public:
    explicit VideoSurface(QWidget* pParent);

    // The value put_Owner takes for this surface.
    OAHWND OwnerHandle() { return reinterpret_cast<OAHWND>(static_cast<IVideoOwnerSurface*>(this)); }
    int PicturesShown() const { return m_cPictures; }

    // IVideoOwnerSurface
    void PlaceVideo(LONG left, LONG top, LONG width, LONG height, bool bVisible) override;
    void PresentPicture(const BYTE* pPixels, LONG width, LONG height, LONG cbStride) override;
    void ReleaseVideo() override;

signals:
    void FirstPicture();

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    QMutex m_Lock;
    QImage m_Picture; // guarded by m_Lock
    std::atomic<int> m_cPictures{0};
};
