#include "app/ToolbarPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace {

constexpr int kSize = 24;

void Page(QPainter& p)
{
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({QPointF(5.5, 2.5), QPointF(15.5, 2.5), QPointF(19.5, 6.5),
                             QPointF(19.5, 21.5), QPointF(5.5, 21.5)}));
    p.setPen(QPen(QColor(150, 150, 150), 1));
    for (int y = 9; y <= 18; y += 3)
        p.drawLine(QPointF(8, y + 0.5), QPointF(17, y + 0.5));
}

void Arrow(QPainter& p, bool up, const QColor& colour)
{
    p.setPen(QPen(colour.darker(140), 1));
    p.setBrush(colour);
    QPolygonF arrow({QPointF(12, 2), QPointF(21, 11), QPointF(16, 11), QPointF(16, 21),
                     QPointF(8, 21), QPointF(8, 11), QPointF(3, 11)});
    if (!up) {
        for (QPointF& point : arrow)
            point.setY(kSize - point.y());
    }
    p.drawPolygon(arrow);
}

// A hand-held receiver with its small screen; `linked` draws the cable plugged in.
void Receiver(QPainter& p, bool linked)
{
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(QColor(230, 200, 60));
    p.drawRoundedRect(QRectF(3.5, 2.5, 10, 19), 2, 2);
    p.setBrush(QColor(170, 210, 170));
    p.drawRect(QRectF(5.5, 4.5, 6, 6));
    p.setPen(QPen(linked ? QColor(20, 140, 40) : QColor(160, 160, 160), 2));
    p.setBrush(Qt::NoBrush);
    if (linked) {
        QPainterPath cable(QPointF(13.5, 17));
        cable.cubicTo(QPointF(18, 17), QPointF(17, 8), QPointF(22, 8));
        p.drawPath(cable);
    } else {
        p.drawLine(QPointF(15, 17), QPointF(17, 17));
        p.drawLine(QPointF(19, 12), QPointF(22, 8));
        p.setPen(QPen(QColor(200, 30, 30), 2));
        p.drawLine(QPointF(16, 9), QPointF(22, 15));
        p.drawLine(QPointF(22, 9), QPointF(16, 15));
    }
}

// Drawn for a screen of `ratio` device pixels to the pixel, so that the
// pictures stay sharp where the system scales the window.
QPixmap Draw(ToolbarPicture picture, qreal ratio)
{
    QPixmap pixmap(QSize(kSize, kSize) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (picture) {
    case ToolbarPicture::Load:
        p.setPen(QPen(QColor(150, 110, 20), 1));
        p.setBrush(QColor(240, 200, 90));
        p.drawRect(QRectF(2.5, 6.5, 19, 14));
        p.drawRect(QRectF(2.5, 4.5, 8, 3));
        Arrow(p, true, QColor(40, 120, 220));
        break;
    case ToolbarPicture::Save:
        p.setPen(QPen(QColor(20, 40, 110), 1));
        p.setBrush(QColor(60, 90, 180));
        p.drawRect(QRectF(3.5, 3.5, 17, 17));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6.5, 3.5, 11, 7));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(7.5, 14.5, 9, 6));
        break;
    case ToolbarPicture::Connected:
        Receiver(p, true);
        break;
    case ToolbarPicture::Disconnected:
        Receiver(p, false);
        break;
    case ToolbarPicture::Setup: {
        p.setPen(QPen(QColor(70, 70, 70), 1));
        p.setBrush(QColor(150, 150, 160));
        QPainterPath gear;
        gear.setFillRule(Qt::WindingFill);
        for (int i = 0; i < 8; ++i) {
            QTransform t;
            t.translate(12, 12);
            t.rotate(i * 45);
            gear.addPolygon(t.map(QPolygonF(QRectF(-2, -11, 4, 6))));
        }
        gear.addEllipse(QPointF(12, 12), 7.5, 7.5);
        p.drawPath(gear.simplified());
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(12, 12), 3, 3);
        break;
    }
    case ToolbarPicture::New:
        Page(p);
        p.setPen(QPen(QColor(20, 150, 40), 3));
        p.drawLine(QPointF(17, 13), QPointF(17, 23));
        p.drawLine(QPointF(12, 18), QPointF(22, 18));
        break;
    case ToolbarPicture::Detail:
        Page(p);
        p.setPen(QPen(QColor(40, 40, 40), 2));
        p.setBrush(QColor(200, 230, 255, 180));
        p.drawEllipse(QPointF(14, 13), 5, 5);
        p.drawLine(QPointF(17.5, 16.5), QPointF(22, 21));
        break;
    case ToolbarPicture::Delete:
        p.setPen(QPen(QColor(200, 30, 30), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 5), QPointF(19, 19));
        p.drawLine(QPointF(19, 5), QPointF(5, 19));
        break;
    case ToolbarPicture::Send:
        Arrow(p, true, QColor(40, 170, 60));
        break;
    case ToolbarPicture::Get:
        Arrow(p, false, QColor(40, 120, 220));
        break;
    }
    return pixmap;
}

} // namespace

QIcon ToolbarIcon(ToolbarPicture picture)
{
    QIcon icon;
    for (const qreal ratio : {1.0, 2.0, 3.0})
        icon.addPixmap(Draw(picture, ratio));
    return icon;
}
