#pragma once

#include <QColor>
#include <QTimer>
#include <QWidget>

// A status lamp: lit in TrueColor while Value is true, FalseColor otherwise.
class ThhALed : public QWidget {
    Q_OBJECT
public:
    enum TLEDStyle { LEDSmall, LEDLarge, LEDSqSmall, LEDSqLarge, LEDVertical, LEDHorizontal };

    explicit ThhALed(QWidget* parent = nullptr);

    bool Value() const { return value; }
    // Also cancels a pending PutOutAfter.
    void SetValue(bool on);
    // Keeps the lamp as it is for `ms` more, then puts it out: a lamp lit
    // only for a moment can still be seen.
    void PutOutAfter(int ms);
    QColor TrueColor() const { return trueColor; }
    void SetTrueColor(const QColor& color);
    QColor FalseColor() const { return falseColor; }
    void SetFalseColor(const QColor& color);
    bool Bordered() const { return bordered; }
    void SetBordered(bool on);
    // While set, a lit lamp flashes between its two colours.
    bool Blink() const { return blinkTimer.isActive(); }
    void SetBlink(bool on);
    TLEDStyle LEDStyle() const { return style; }
    void SetLEDStyle(TLEDStyle newStyle);

    // The colour the lamp shows at this moment.
    QColor ShownColor() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRectF LampRect() const;

    bool value = false;
    bool bordered = true;
    bool blinkPhaseOff = false;
    QColor trueColor = Qt::green;
    QColor falseColor = Qt::darkGreen;
    TLEDStyle style = LEDLarge;
    QTimer blinkTimer;
    QTimer holdTimer;
};
