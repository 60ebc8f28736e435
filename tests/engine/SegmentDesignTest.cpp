#include "FakeViews.h"

#include "app/Startup.h"
#include "engine/SegmentDesign.h"
#include "support/RecordingPrompts.h"

#include <gtest/gtest.h>

namespace {

const QString Example = QStringLiteral("0 0 Step\r\n10 50 Ramp");

class SegmentDesignTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RunStartupSequence();
        window.focused = QStringLiteral("COMX");
        TextToSegmentRows(Example, rows);
        DevicesLocal[0].SegmentProgram = Example;
    }

    static QString Program() { return DevicesLocal.at(0).SegmentProgram; }

    static TSegmentEdit Edit(double minutes, double setpoint, const char* type = "Step", const char* note = "")
    {
        return {minutes, setpoint, QString::fromLatin1(type), QString::fromLatin1(note)};
    }

    RecordingPrompts prompts;
    FakeWindow window;
    QList<TSegmentRow> rows;
};

TEST_F(SegmentDesignTest, ApplyAddsOrReplaces)
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
        TextToSegmentRows(Example, rows);
        EXPECT_TRUE(ApplySegment(rows, c.edit));
        EXPECT_EQ(SegmentRowsToText(rows), QString::fromLatin1(c.program));
    }

    StoreAppliedProgram(rows, tspttKeep, window);
    EXPECT_EQ(Program(), QStringLiteral("0 0 Step\r\n10 50 Ramp\r\n100 0 Step"));
    EXPECT_EQ(window.refreshed, QStringList{QStringLiteral("COMX")});
    EXPECT_TRUE(prompts.Messages.isEmpty());
}

TEST_F(SegmentDesignTest, ApplyRefusesASegmentThatSpoilsTheProgram)
{
    EXPECT_FALSE(ApplySegment(rows, Edit(-5, 20)));
    EXPECT_EQ(prompts.Messages, QStringList{QStringLiteral("Invalid character: -")});
    EXPECT_EQ(SegmentRowsToText(rows), Example);
}

TEST_F(SegmentDesignTest, DeleteStoresWhatIsLeft)
{
    rows.removeFirst();
    StoreProgramAfterDelete(rows, window);
    EXPECT_EQ(Program(), QStringLiteral("10 50 Ramp"));
    rows.removeFirst();
    StoreProgramAfterDelete(rows, window);
    EXPECT_EQ(Program(), QString());
    EXPECT_EQ(window.refreshed, (QStringList{QStringLiteral("COMX"), QStringLiteral("COMX")}));
    EXPECT_TRUE(prompts.Messages.isEmpty());
}

TEST_F(SegmentDesignTest, NoDeviceToStoreInto)
{
    window.focused.clear();
    StoreAppliedProgram(rows, tspttKeep, window);
    StoreProgramAfterDelete(rows, window);

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
    StoreAppliedProgram(rows, tspttKeep, stale);
    StoreProgramAfterDelete(rows, stale);

    EXPECT_EQ(prompts.Messages, (QStringList{"Could not get assigned device.", "Error",
                                             "Saving device segment program failed",
                                             "Saving device segment program failed"}));
    EXPECT_EQ(stale.refreshes, 0);
    EXPECT_TRUE(window.refreshed.isEmpty());
    EXPECT_EQ(Program(), Example);
}

} // namespace
