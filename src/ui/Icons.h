#pragma once

#include <QIcon>

// The window's icons by name ("settings", "bar_chart", "usb", ...), drawn
// as simple line pictures; an unknown name gives an empty icon.
QIcon TarvoIcon(const QString& name);
