#pragma once

#include <QLineEdit>

// A line edit for one decimal number, written and read with "." as the
// decimal separator. When MinValue < MaxValue every value is clamped to that
// range; both 0 (the default) mean no limit.
class TRtDoubleEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TRtDoubleEdit(QWidget* parent = nullptr);

    double Value() const { return value; }
    // Clamps, shows and signals ValueChanged, also when the value is unchanged.
    void SetValue(double newValue);
    double MinValue() const { return minValue; }
    double MaxValue() const { return maxValue; }
    void SetMinValue(double limit);
    void SetMaxValue(double limit);
    // Shows the value with this many significant digits (0: up to 15); the
    // value itself keeps every digit.
    void SetShownDigits(int significant);
    // Takes the text typed so far as the value when it reads as a number,
    // leaving the text as typed unless the limits change the number; for
    // handlers that act on every key.
    void TakeTypedValue();

signals:
    void ValueChanged();

private:
    double Clamped(double candidate) const;
    QString ShownText() const;
    void TakeTypedText();

    double value = 0;
    double minValue = 0;
    double maxValue = 0;
    int shownDigits = 0;
};
