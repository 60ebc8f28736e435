#pragma once

#include "devices/DeviceInfo.h"

#include <QWidget>

class QComboBox;
class QPushButton;

// Picks a colour with transparency: a list of named colours and a button
// that opens a colour dialog with an alpha channel for any other colour.
class TRtColorPickCombo : public QWidget {
    Q_OBJECT
public:
    explicit TRtColorPickCombo(QWidget* parent = nullptr);

    TRtColor ActiveColor() const { return activeColor; }
    // Shows the colour (adding it to the list when it is not there) and
    // signals Changed.
    void SetActiveColor(TRtColor color);
    // The colour without alpha as the toolkit's colour value: blue * 65536 +
    // green * 256 + red.
    quint32 AsTColor() const;

signals:
    void Changed();

private:
    int IndexOf(TRtColor color) const;
    void AddColor(TRtColor color, const QString& name);
    void OtherColors();

    QComboBox* list = nullptr;
    QPushButton* other = nullptr;
    TRtColor activeColor = 0;
};
