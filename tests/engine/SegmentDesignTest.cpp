#include "FakeViews.h"

#include "app/Startup.h"
#include "engine/SegmentDesign.h"
#include "support/RecordingPrompts.h"

#include <gtest/gtest.h>

namespace {

class SegmentDesignTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RunStartupSequence();
        window.focused = QStringLiteral("COMX");
        TextToSegmentRows(QStringLiteral("0 0 Step\r\n10 50 Ramp"), rows);
        StoreProgram(QStringLiteral("0 0 Step\r\n10 50 Ramp"));
    }

    static void StoreProgram(const QString& program) { DevicesLocal[0].SegmentProgram = program; }
    static QString Program() { return DevicesLocal.at(0).SegmentProgram; }

    static TSegmentEdit Edit(double minutes, double setpoint, const char* type = "Step", const char* note = "")
    {
        return {minutes, setpoint, QString::fromLatin1(type), QString::fromLatin1(note)};
    }

    RecordingPrompts prompts;
    FakeWindow window;
    QList<TSegmentRow> rows;
};

TEST_F(SegmentDesignTest, ApplyAddsOrReplacesAndStores)
{
    const struct {
        const char* name;
        TSegmentEdit edit;
        const char* program;
    } cases[] = {
        {"new time", Edit(5, 12.5, "Ramp", "two words"), "0 0 Step\r\n5 12.5 Ramp two_words\r\n10 50 Ramp"},
        {"same time within 1e-6", Edit(10.0000009, 75), "0 0 Step\r\n10 75 Step"},
        {"just beyond 1e-6", Edit(10.0000011, 75), "0 0 Step\r\n10 50 Ramp\r\n10.0000011 75 Step"},
        {"past the end", Edit(100, 0), "0 0 Step\r\n10 50 Ramp\r\n100 0 Step"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TextToSegmentRows(QStringLiteral("0 0 Step\r\n10 50 Ramp"), rows);
        window.refreshed.clear();
        EXPECT_TRUE(ApplySegment(rows, c.edit, tspttKeep, window));
        EXPECT_EQ(SegmentRowsToText(rows), QString::fromLatin1(c.program));
        EXPECT_EQ(Program(), QString::fromLatin1(c.program));
        EXPECT_EQ(window.refreshed, QStringList{QStringLiteral("COMX")});
    }
    EXPECT_TRUE(prompts.Messages.isEmpty());
}

TEST_F(SegmentDesignTest, ApplyRefusesASegmentThatSpoilsTheProgram)
{
    const QString before = Program();
    EXPECT_FALSE(ApplySegment(rows, Edit(-5, 20), tspttKeep, window));
    EXPECT_EQ(prompts.Messages, QStringList{QStringLiteral("Invalid character: -")});
    EXPECT_EQ(SegmentRowsToText(rows), before);
    EXPECT_EQ(Program(), before);
    EXPECT_TRUE(window.refreshed.isEmpty());
}

TEST_F(SegmentDesignTest, WithoutAFocusedDeviceOnlyTheRowsChange)
{
    window.focused.clear();
    const QString before = Program();
    EXPECT_TRUE(ApplySegment(rows, Edit(5, 20), tspttKeep, window));
    EXPECT_EQ(rows.size(), 3);
    DeleteSegment(rows, 0, window);
    EXPECT_EQ(rows.size(), 2);
    EXPECT_EQ(prompts.Messages, (QStringList{QStringLiteral("Could not get assigned device."), QStringLiteral("Error")}));
    EXPECT_EQ(Program(), before);
}

TEST_F(SegmentDesignTest, DeleteStoresWhatIsLeft)
{
    DeleteSegment(rows, 0, window);
    EXPECT_EQ(Program(), QStringLiteral("10 50 Ramp"));
    DeleteSegment(rows, 0, window);
    EXPECT_EQ(Program(), QString());
    EXPECT_EQ(window.refreshed, (QStringList{QStringLiteral("COMX"), QStringLiteral("COMX")}));
    EXPECT_TRUE(prompts.Messages.isEmpty());
}

TEST_F(SegmentDesignTest, AFocusedDeviceGoneFromTheRegistryIsNotStored)
{
    // The window still focuses a row whose device has been removed.
    class StaleFocus final : public TSegmentDesignView {
    public:
        bool GetSelectedDevice(TDeviceInfo& device) const override
        {
            device.COMPort = QStringLiteral("COM99");
            return true;
        }
        void RefreshDevice(TDeviceInfo&) override { ++refreshes; }
        int refreshes = 0;
    } stale;
    EXPECT_TRUE(ApplySegment(rows, Edit(5, 20), tspttKeep, stale));
    DeleteSegment(rows, 0, stale);
    EXPECT_EQ(prompts.Messages, (QStringList{QStringLiteral("Saving device segment program failed"),
                                             QStringLiteral("Saving device segment program failed")}));
    EXPECT_EQ(stale.refreshes, 0);
}

} // namespace
