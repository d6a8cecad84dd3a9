#include "AppIcon.h"

#include <QPainter>
#include <QPixmap>

namespace
{
// A capture card: a dark board with a lens-like input and a red recording dot.
QPixmap DrawIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = size / 32.0;
    painter.setBrush(QColor(32, 48, 80));
    painter.setPen(QPen(QColor(200, 210, 230), unit));
    painter.drawRoundedRect(QRectF(2 * unit, 7 * unit, 28 * unit, 18 * unit), 3 * unit, 3 * unit);
    painter.setBrush(QColor(220, 220, 230));
    painter.drawEllipse(QPointF(11 * unit, 16 * unit), 5 * unit, 5 * unit);
    painter.setBrush(QColor(30, 30, 30));
    painter.drawEllipse(QPointF(11 * unit, 16 * unit), 2.5 * unit, 2.5 * unit);
    painter.setBrush(QColor(230, 40, 40));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(24 * unit, 12 * unit), 2.5 * unit, 2.5 * unit);
    return pixmap;
}
} // namespace

QIcon AppIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addPixmap(DrawIcon(size));
    return icon;
}
