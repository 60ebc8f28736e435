#include "ui/widgets/hhALed.h"

#include <QPainter>

namespace {
constexpr int BlinkHalfPeriodMS = 500; // one flash per second is readable and not hectic
}

ThhALed::ThhALed(QWidget* parent)
    : QWidget(parent)
{
    blinkTimer.setInterval(BlinkHalfPeriodMS);
    connect(&blinkTimer, &QTimer::timeout, this, [this] {
        blinkPhaseOff = !blinkPhaseOff;
        update();
    });
    holdTimer.setSingleShot(true);
    connect(&holdTimer, &QTimer::timeout, this, [this] { SetValue(false); });
}

void ThhALed::PutOutAfter(int ms)
{
    holdTimer.start(ms);
}

void ThhALed::SetValue(bool on)
{
    holdTimer.stop();
    if (value == on)
        return;
    value = on;
    update();
}

void ThhALed::SetTrueColor(const QColor& color)
{
    trueColor = color;
    update();
}

void ThhALed::SetFalseColor(const QColor& color)
{
    falseColor = color;
    update();
}

void ThhALed::SetBordered(bool on)
{
    bordered = on;
    update();
}

void ThhALed::SetBlink(bool on)
{
    blinkPhaseOff = false;
    if (on)
        blinkTimer.start();
    else
        blinkTimer.stop();
    update();
}

void ThhALed::SetLEDStyle(TLEDStyle newStyle)
{
    style = newStyle;
    update();
}

QColor ThhALed::ShownColor() const
{
    return value && !blinkPhaseOff ? trueColor : falseColor;
}

QRectF ThhALed::LampRect() const
{
    const QRectF all = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal side = qMin(all.width(), all.height());
    switch (style) {
    case LEDSmall:
    case LEDSqSmall: {
        QRectF small(0, 0, side / 2, side / 2);
        small.moveCenter(all.center());
        return small;
    }
    case LEDLarge:
    case LEDSqLarge: {
        QRectF large(0, 0, side, side);
        large.moveCenter(all.center());
        return large;
    }
    case LEDVertical: {
        QRectF bar(0, 0, all.width() / 3, all.height());
        bar.moveCenter(all.center());
        return bar;
    }
    case LEDHorizontal: {
        QRectF bar(0, 0, all.width(), all.height() / 3);
        bar.moveCenter(all.center());
        return bar;
    }
    }
    return all;
}

void ThhALed::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, style == LEDSmall || style == LEDLarge);
    painter.setPen(bordered ? QPen(palette().color(QPalette::Dark), 1) : QPen(Qt::NoPen));
    painter.setBrush(ShownColor());
    const QRectF lamp = LampRect();
    if (style == LEDSmall || style == LEDLarge)
        painter.drawEllipse(lamp);
    else
        painter.drawRect(lamp);
}
