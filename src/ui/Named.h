#pragma once

#include <QString>

// Gives a control its name: the help texts, the tests and the designer find
// controls by it.
template <typename Widget>
Widget* Named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}
