#pragma once

#include "devices/DeviceRegistry.h"
#include "app/Startup.h"
#include "support/RecordingPrompts.h"
#include "support/TempFolder.h"
#include "support/TestClock.h"
#include "ui/GUIF.h"

#include <QComboBox>
#include <QDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

// The real main window on the offscreen platform, started as the program
// starts it, in a throwaway current and program folder, on a clock set to
// 2026-10-16 09:00, with every dialog recorded instead of shown.
class WindowFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir::setCurrent(folder.Path());
        RunStartupSequence();
        BeforeWindow();
        window = std::make_unique<TGUIF>();
        window->resize(1200, 800);
        window->show();
    }

    void TearDown() override
    {
        window.reset();
        DevicesLocal.clear();
        QDir::setCurrent(startDir);
    }

    // Changes to the registry the window should find when it starts.
    virtual void BeforeWindow() {}

    template <typename Control>
    Control* Find(const char* name) const
    {
        auto* control = window->findChild<Control*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    QTreeWidget* Devices() const { return Find<QTreeWidget>("ListViewDevices"); }

    // Focuses (and so selects) the device list's row of a port.
    void Focus(const QString& port) const
    {
        const auto rows = Devices()->findItems(port, Qt::MatchExactly);
        ASSERT_EQ(rows.size(), 1) << port.toStdString();
        Devices()->setCurrentItem(rows.first());
    }

    // Picks the row of a fluid list that carries fluid `id`.
    void ChooseFluid(const char* list, qint32 id) const
    {
        auto* fluids = Find<QComboBox>(list);
        for (int row = 1; row < fluids->count(); ++row) {
            if (fluids->itemData(row).toInt() == id) {
                fluids->setCurrentIndex(row);
                return;
            }
        }
        FAIL() << list << " does not list fluid " << id;
    }

    TDeviceInfo Device(const QString& port) const
    {
        TDeviceInfo device;
        EXPECT_TRUE(GetDeviceByPort(port, device)) << port.toStdString();
        return device;
    }

    void SetProgram(const QString& port, const QString& program) const
    {
        TDeviceInfo device = Device(port);
        device.SegmentProgram = program;
        ASSERT_TRUE(StoreDevice(device));
    }

    const QString startDir = QDir::currentPath();
    TempFolder folder;
    TestClock clock;
    RecordingPrompts prompts;
    std::unique_ptr<TGUIF> window;
};
