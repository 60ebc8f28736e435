#include "ui/Icons.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>
#include <functional>

namespace {

// Pictures are drawn on a 16 x 16 grid and scaled to the pixmap size.
using Drawing = std::function<void(QPainter&)>;

const QColor Ink(0x2F, 0x4F, 0x7F);
const QColor Accent(0xE0, 0x6C, 0x1F);

QPen InkPen(qreal width = 1.5)
{
    return QPen(Ink, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void Arrowhead(QPainter& p, QPointF tip, qreal angleDegrees)
{
    const qreal a = qDegreesToRadians(angleDegrees);
    const QPointF back(-3.5 * std::cos(a), -3.5 * std::sin(a));
    const QPointF side(-2.5 * std::sin(a), 2.5 * std::cos(a));
    p.setBrush(p.pen().color());
    p.drawPolygon(QPolygonF({tip, tip + back + side, tip + back - side}));
    p.setBrush(Qt::NoBrush);
}

void Settings(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.translate(8, 8);
    for (int i = 0; i < 8; ++i) {
        p.drawRect(QRectF(-1.5, -7.5, 3, 4));
        p.rotate(45);
    }
    p.drawEllipse(QPointF(0, 0), 5, 5);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(0, 0), 2, 2);
}

void BarChart(QPainter& p)
{
    p.setPen(InkPen(1));
    p.drawLine(QPointF(1.5, 14.5), QPointF(14.5, 14.5));
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawRect(QRectF(2.5, 9, 3, 5));
    p.setBrush(Accent);
    p.drawRect(QRectF(6.5, 4, 3, 10));
    p.setBrush(Ink);
    p.drawRect(QRectF(10.5, 6.5, 3, 7.5));
}

void NeutralTrading(QPainter& p)
{
    p.setPen(InkPen());
    p.drawLine(QPointF(2, 5), QPointF(12, 5));
    Arrowhead(p, QPointF(14.5, 5), 0);
    p.setPen(InkPen());
    p.setPen(QPen(Accent, 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(14, 11), QPointF(4, 11));
    Arrowhead(p, QPointF(1.5, 11), 180);
}

void MultipleInputs(QPainter& p)
{
    p.setPen(InkPen());
    for (qreal y : {2.5, 8.0, 13.5})
        p.drawLine(QPointF(1.5, y), QPointF(9, 8));
    p.setPen(QPen(Accent, 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9, 8), QPointF(12.5, 8));
    Arrowhead(p, QPointF(15, 8), 0);
}

void Support(QPainter& p)
{
    const QRectF ring(2, 2, 12, 12);
    for (int quarter = 0; quarter < 4; ++quarter) {
        p.setPen(QPen(quarter % 2 ? Qt::white : Accent, 3.5, Qt::SolidLine, Qt::FlatCap));
        p.drawArc(ring.adjusted(1.5, 1.5, -1.5, -1.5), (quarter * 90 + 45) * 16, 90 * 16);
    }
    p.setPen(InkPen(1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(ring);
    p.drawEllipse(ring.adjusted(3.5, 3.5, -3.5, -3.5));
}

void TodoList(QPainter& p)
{
    for (int row = 0; row < 3; ++row) {
        const qreal y = 3 + row * 5;
        p.setPen(InkPen(1));
        p.drawRect(QRectF(1.5, y - 1.5, 3, 3));
        p.drawLine(QPointF(7, y), QPointF(14.5, y));
    }
    p.setPen(QPen(Accent, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(1.5, 3), QPointF(3, 4.5), QPointF(5.5, 0.8)}));
}

void AlarmClock(QPainter& p)
{
    p.setPen(InkPen());
    p.drawEllipse(QPointF(8, 9), 5.5, 5.5);
    p.drawLine(QPointF(8, 9), QPointF(8, 5.5));
    p.drawLine(QPointF(8, 9), QPointF(10.5, 10.5));
    p.setPen(QPen(Accent, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(0.5, 0.5, 6, 6), 100 * 16, 70 * 16);
    p.drawArc(QRectF(9.5, 0.5, 6, 6), 10 * 16, 70 * 16);
}

void Usb(QPainter& p)
{
    p.setPen(InkPen());
    p.drawLine(QPointF(8, 14), QPointF(8, 3.5));
    Arrowhead(p, QPointF(8, 1), -90);
    p.setPen(InkPen());
    p.drawPolyline(QPolygonF({QPointF(8, 11), QPointF(4, 8), QPointF(4, 6)}));
    p.drawPolyline(QPolygonF({QPointF(8, 9.5), QPointF(12, 7), QPointF(12, 5.5)}));
    p.setBrush(Ink);
    p.drawEllipse(QPointF(4, 5), 1.5, 1.5);
    p.drawRect(QRectF(10.8, 3.6, 2.4, 2.4));
    p.drawEllipse(QPointF(8, 14), 1.6, 1.6);
}

void Synchronize(QPainter& p)
{
    const QRectF circle(2.5, 2.5, 11, 11);
    p.setPen(InkPen());
    p.drawArc(circle, 30 * 16, 140 * 16);
    Arrowhead(p, QPointF(13.3, 5.5), 70);
    p.setPen(QPen(Accent, 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(circle, 210 * 16, 140 * 16);
    Arrowhead(p, QPointF(2.7, 10.5), 250);
}

QPolygonF Diamond()
{
    return QPolygonF({QPointF(8, 2), QPointF(14, 8), QPointF(8, 14), QPointF(2, 8)});
}

void KeyframeSolid(QPainter& p)
{
    p.setPen(InkPen(1.2));
    p.setBrush(Ink);
    p.drawPolygon(Diamond());
}

void Keyframe(QPainter& p)
{
    p.setPen(InkPen(1.2));
    p.drawPolygon(Diamond());
}

void Checkmark(QPainter& p)
{
    p.setPen(QPen(QColor(0x2E, 0x8B, 0x57), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6.5, 12.5), QPointF(13.5, 3.5)}));
}

void Play(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2E, 0x8B, 0x57));
    p.drawPolygon(QPolygonF({QPointF(4, 2.5), QPointF(13.5, 8), QPointF(4, 13.5)}));
}

void Stop(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xC0, 0x39, 0x2B));
    p.drawRoundedRect(QRectF(3, 3, 10, 10), 1.5, 1.5);
}

// A step: along, then straight up.
void CornerRightUp(QPainter& p)
{
    p.setPen(InkPen());
    p.drawPolyline(QPolygonF({QPointF(2, 13), QPointF(11, 13), QPointF(11, 5)}));
    Arrowhead(p, QPointF(11, 2), -90);
}

// A ramp: rising straight to its point.
void IncreaseArrowUp(QPainter& p)
{
    p.setPen(InkPen());
    p.drawLine(QPointF(2, 14), QPointF(11.5, 4.5));
    Arrowhead(p, QPointF(13.5, 2.5), -45);
}

void SignBox(QPainter& p, bool plus)
{
    p.setPen(InkPen(1.2));
    p.setBrush(QColor(0xF4, 0xF7, 0xFB));
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2, 2);
    p.setPen(QPen(plus ? QColor(0x2E, 0x8B, 0x57) : QColor(0xC0, 0x39, 0x2B), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4.5, 8), QPointF(11.5, 8));
    if (plus)
        p.drawLine(QPointF(8, 4.5), QPointF(8, 11.5));
}

// The flow does not follow its setpoint: the red of the alarm lamp with a
// mark that shows also on a selected row.
void Deviation(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xD0, 0x10, 0x10));
    p.drawRoundedRect(QRectF(1, 1, 14, 14), 2.5, 2.5);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(6.8, 3, 2.4, 7), 1, 1);
    p.drawEllipse(QPointF(8, 12.2), 1.3, 1.3);
}

const QHash<QString, Drawing>& Drawings()
{
    static const QHash<QString, Drawing> drawings = {
        {QStringLiteral("settings"), Settings},
        {QStringLiteral("bar_chart"), BarChart},
        {QStringLiteral("neutral_trading"), NeutralTrading},
        {QStringLiteral("multiple_inputs"), MultipleInputs},
        {QStringLiteral("support"), Support},
        {QStringLiteral("todo_list"), TodoList},
        {QStringLiteral("alarm_clock"), AlarmClock},
        {QStringLiteral("usb"), Usb},
        {QStringLiteral("synchronize"), Synchronize},
        {QStringLiteral("keyframe-solid"), KeyframeSolid},
        {QStringLiteral("keyframe"), Keyframe},
        {QStringLiteral("checkmark"), Checkmark},
        {QStringLiteral("play"), Play},
        {QStringLiteral("stop"), Stop},
        {QStringLiteral("corner-right-up-line"), CornerRightUp},
        {QStringLiteral("increase-arrow-up"), IncreaseArrowUp},
        {QStringLiteral("plusb"), [](QPainter& p) { SignBox(p, true); }},
        {QStringLiteral("minusb"), [](QPainter& p) { SignBox(p, false); }},
        {QStringLiteral("deviation"), Deviation},
    };
    return drawings;
}

QPixmap Render(const Drawing& drawing, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);
    drawing(painter);
    return pixmap;
}

} // namespace

QIcon TarvoIcon(const QString& name)
{
    const auto found = Drawings().constFind(name);
    if (found == Drawings().constEnd())
        return QIcon();
    QIcon icon;
    for (int size : {16, 24, 32})
        icon.addPixmap(Render(*found, size));
    return icon;
}
