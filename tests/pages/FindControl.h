#pragma once

#include <QWidget>

#include <gtest/gtest.h>

// A control of a page by its objectName; a missing one fails the test.
template <typename Control>
Control* FindControl(const QWidget& page, const char* name)
{
    auto* control = page.findChild<Control*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
}
