#include "app/WaypointIcons.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace {

// Four shapes in five colours make 20 pictures that stay apart at 16 pixels;
// the key letter on top tells them apart for anyone who cannot see colour.
enum class Shape
{
    Circle,
    Square,
    Diamond,
    Flag
};

// The picture drawn for a screen of `ratio` device pixels to the pixel, so
// that edges and the letter stay sharp where the system scales the window.
QPixmap Draw(int index, QChar letter, qreal ratio)
{
    static const QColor kColours[] = {QColor(200, 30, 30), QColor(30, 110, 200),
                                      QColor(20, 140, 60), QColor(210, 130, 0),
                                      QColor(130, 50, 170)};
    const Shape shape = Shape(index % 4);
    const QColor colour = kColours[index / 4];

    QPixmap pixmap(QSize(kWaypointIconSize, kWaypointIconSize) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour.darker(150), 1));
    painter.setBrush(colour);
    const QRectF box(0.5, 0.5, kWaypointIconSize - 1, kWaypointIconSize - 1);
    switch (shape) {
    case Shape::Circle:
        painter.drawEllipse(box);
        break;
    case Shape::Square:
        painter.drawRoundedRect(box.adjusted(1, 1, -1, -1), 2, 2);
        break;
    case Shape::Diamond:
        painter.drawPolygon(QPolygonF(
            {QPointF(box.center().x(), box.top()), QPointF(box.right(), box.center().y()),
             QPointF(box.center().x(), box.bottom()), QPointF(box.left(), box.center().y())}));
        break;
    case Shape::Flag: {
        painter.drawRect(QRectF(1.5, 1.5, 12, 9));
        painter.setPen(QPen(Qt::black, 1.5));
        painter.drawLine(QPointF(1.5, 1.5), QPointF(1.5, 15));
        break;
    }
    }
    QFont font;
    font.setPixelSize(shape == Shape::Flag ? 9 : 10);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    const QRectF textBox = shape == Shape::Flag ? QRectF(2, 1, 12, 10) : box;
    painter.drawText(textBox, Qt::AlignCenter, QString(letter));
    return pixmap;
}

} // namespace

QStringList WaypointIconKeys()
{
    QStringList keys;
    for (char c = 'a'; c <= 't'; ++c)
        keys << QString(QChar(c));
    return keys;
}

QPixmap WaypointPixmap(const QString& key)
{
    return WaypointIcon(key).pixmap(QSize(kWaypointIconSize, kWaypointIconSize), 1.0);
}

QIcon WaypointIcon(const QString& key)
{
    if (key.size() != 1 || key[0] < u'a' || key[0] > u't')
        return {};
    static QHash<QChar, QIcon> cache;
    const QChar letter = key[0];
    auto it = cache.find(letter);
    if (it == cache.end()) {
        // Screens scaled by 1.25 to 2 take the double form, drawn down.
        QIcon icon;
        for (const qreal ratio : {1.0, 2.0, 3.0})
            icon.addPixmap(Draw(letter.unicode() - 'a', letter, ratio));
        it = cache.insert(letter, icon);
    }
    return *it;
}
