#include "PreviewWindow.h"

#include "AppIcon.h"
#include "VideoSurface.h"

#include <QMetaObject>

PreviewWindow::PreviewWindow(const QString& title) : m_pSurface(new VideoSurface(this))
{
    setWindowTitle(title);
    setWindowIcon(AppIcon());
    resize(720, 480);
    m_pSurface->PlaceVideo(0, 0, 720, 480, true);
}

void PreviewWindow::PlaceVideo(LONG, LONG, LONG width, LONG height, bool bVisible)
{
    QMetaObject::invokeMethod(
        this,
        [this, width, height, bVisible]
        {
            if (width > 0 && height > 0)
                resize(int(width), int(height));
            setVisible(bVisible);
        },
        Qt::QueuedConnection);
}

void PreviewWindow::PresentPicture(const BYTE* pPixels, LONG width, LONG height, LONG cbStride)
{
    m_pSurface->PresentPicture(pPixels, width, height, cbStride);
}

void PreviewWindow::ReleaseVideo()
{
    QMetaObject::invokeMethod(this, [this] { hide(); }, Qt::QueuedConnection);
}

void PreviewWindow::resizeEvent(QResizeEvent*)
{
    m_pSurface->setGeometry(rect());
    m_pSurface->show();
}
