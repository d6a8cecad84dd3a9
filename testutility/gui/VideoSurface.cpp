#include "VideoSurface.h"

#include <QMetaObject>
#include <QPainter>

#include <cstring>

VideoSurface::VideoSurface(QWidget* pParent) : QWidget(pParent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    hide();
}

void VideoSurface::PlaceVideo(LONG left, LONG top, LONG width, LONG height, bool bVisible)
{
    QMetaObject::invokeMethod(
        this,
        [this, left, top, width, height, bVisible]
        {
            setGeometry(int(left), int(top), int(width), int(height));
            setVisible(bVisible);
            raise();
        },
        Qt::QueuedConnection);
}

void VideoSurface::PresentPicture(const BYTE* pPixels, LONG width, LONG height, LONG cbStride)
{
    if (width <= 0 || height <= 0 || cbStride < width * 4)
        return;
    {
        QMutexLocker lock(&m_Lock);
        if (m_Picture.width() != width || m_Picture.height() != height)
            m_Picture = QImage(int(width), int(height), QImage::Format_RGB32);
        for (LONG row = 0; row < height; ++row)
            std::memcpy(m_Picture.scanLine(int(row)), pPixels + row * cbStride, std::size_t(width) * 4);
    }
    if (m_cPictures++ == 0)
        QMetaObject::invokeMethod(this, [this] { emit FirstPicture(); }, Qt::QueuedConnection);
    QMetaObject::invokeMethod(this, qOverload<>(&QWidget::update), Qt::QueuedConnection);
}

void VideoSurface::ReleaseVideo()
{
    QMetaObject::invokeMethod(
        this,
        [this]
        {
            hide();
            QMutexLocker lock(&m_Lock);
            m_Picture = QImage();
        },
        Qt::QueuedConnection);
}

void VideoSurface::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QMutexLocker lock(&m_Lock);
    if (m_Picture.isNull())
        painter.fillRect(rect(), Qt::black);
    else
        painter.drawImage(rect(), m_Picture);
}
