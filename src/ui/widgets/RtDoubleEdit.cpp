#include "ui/widgets/RtDoubleEdit.h"

#include "base/TextHelpers.h"

#include <algorithm>

TRtDoubleEdit::TRtDoubleEdit(QWidget* parent)
    : QLineEdit(parent)
{
    setText(ShownText());
    connect(this, &QLineEdit::editingFinished, this, &TRtDoubleEdit::TakeTypedText);
}

void TRtDoubleEdit::SetValue(double newValue)
{
    value = Clamped(newValue);
    setText(ShownText());
    emit ValueChanged();
}

void TRtDoubleEdit::SetShownDigits(int significant)
{
    shownDigits = significant;
    setText(ShownText());
}

QString TRtDoubleEdit::ShownText() const
{
    return FloatToStr(shownDigits > 0 ? RoundSignificant(value, shownDigits) : value);
}

void TRtDoubleEdit::SetMinValue(double limit)
{
    minValue = limit;
}

void TRtDoubleEdit::SetMaxValue(double limit)
{
    maxValue = limit;
}

void TRtDoubleEdit::TakeTypedValue()
{
    double typed = 0;
    if (!TryStrToFloatDot(text(), typed))
        return;
    if (Clamped(typed) != typed) {
        SetValue(typed);
        return;
    }
    value = typed;
    emit ValueChanged();
}

double TRtDoubleEdit::Clamped(double candidate) const
{
    return minValue < maxValue ? std::clamp(candidate, minValue, maxValue) : candidate;
}

void TRtDoubleEdit::TakeTypedText()
{
    double typed = 0;
    if (TryStrToFloatDot(text(), typed))
        SetValue(typed);
    else
        setText(ShownText()); // not a number: the edit keeps its value
}
