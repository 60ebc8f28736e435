#include "FindControl.h"

#include "devices/DeviceRegistry.h"
#include "engine/MixtureRecipe.h"
#include "gas/GasList.h"
#include "support/RecordingPrompts.h"
#include "ui/pages/MixturesSheet.h"
#include "ui/widgets/RtDoubleEdit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class RecordingRecipeWindow final : public TMixtureRecipeView {
public:
    void MM(const QString& message) override { log << message; }
    void RefreshDevice(TDeviceInfo& device) override { refreshed << device.COMPort; }
    QStringList log;
    QStringList refreshed;
};

// The demonstration devices, COMX given nitrogen; the page on its own.
class MixturesSheetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitializeGasList();
        InitializeStandardFlowUnits();
        DevicesLocal.clear();
        AddDemonstrationDevices();
        DevicesLocal[0].FluidID = 8;
        DevicesLocal[0].SegmentProgram = QStringLiteral("0 0 Step");
        sheet.SetRecipeView(&window);
        sheet.show();
    }
    void TearDown() override { DevicesLocal.clear(); }

    template <typename Control>
    Control* Find(const char* name) const
    {
        return FindControl<Control>(sheet, name);
    }

    // Types over the recipe. (Emptying it first would evaluate an empty
    // recipe: valid, without flow, so the flat-mixture message would show.)
    void TypeRecipe(const QString& recipe) const
    {
        auto* memo = Find<QPlainTextEdit>("MemoMixRecipe");
        memo->setFocus();
        memo->selectAll();
        QTest::keyClicks(memo, recipe);
    }

    QString Result() const { return Find<QPlainTextEdit>("MemoMixResult")->toPlainText(); }

    RecordingPrompts prompts;
    RecordingRecipeWindow window;
    TMixturesSheet sheet;
};

TEST_F(MixturesSheetTest, StartsWithAnUncheckedRecipe)
{
    EXPECT_EQ(Find<QPlainTextEdit>("MemoMixRecipe")->toPlainText(), QStringLiteral("COM6 50"));
    EXPECT_EQ(Find<QLineEdit>("EditMixtureName")->text(), QStringLiteral("Name"));
    EXPECT_EQ(Find<QLabel>("LabelMixSegmentsTime")->text(), QStringLiteral("Time, m"));
    EXPECT_FALSE(sheet.RecipeValid());
    QTest::mouseClick(Find<QPushButton>("ButtonMixSegmentsAdd"), Qt::LeftButton);
    EXPECT_EQ(prompts.Messages, QStringList{QStringLiteral("Cannot add invalid recipe")});

    Find<QLineEdit>("EditMixtureName")->setText(QStringLiteral("Dry"));
    EXPECT_EQ(Result(), QStringLiteral("No device on port: COM6\n"));
    EXPECT_FALSE(sheet.RecipeValid());
}

TEST_F(MixturesSheetTest, TypedRecipeIsShownAndAdded)
{
    // A leading blank and a lower-case port, as operators type them.
    TypeRecipe(QStringLiteral("comx 40 R"));
    QTest::keyClick(Find<QPlainTextEdit>("MemoMixRecipe"), Qt::Key_Home);
    QTest::keyClick(Find<QPlainTextEdit>("MemoMixRecipe"), Qt::Key_Space);
    EXPECT_EQ(Find<QPlainTextEdit>("MemoMixRecipe")->toPlainText(), QStringLiteral(" comx 40 R"));
    EXPECT_TRUE(sheet.RecipeValid());
    EXPECT_TRUE(Result().startsWith(QStringLiteral("Mixture: 'Name'\n\n  Inputs:\n    N2 "))) << Result().toStdString();
    EXPECT_TRUE(Result().contains(QStringLiteral("  Volumetric flows, ml/min:\n")));

    Find<TRtDoubleEdit>("RtDoubleEditMixSegmentsAddTime")->SetValue(2.5);
    Find<QLineEdit>("EditNoteMixture")->setText(QStringLiteral("dry run"));
    QTest::mouseClick(Find<QPushButton>("ButtonMixSegmentsAdd"), Qt::LeftButton);
    EXPECT_EQ(DevicesLocal.at(0).SegmentProgram, QStringLiteral("0 0 Step\r\n2 40 Ramp dry_run\r\n"));
    EXPECT_EQ(window.refreshed, QStringList{QStringLiteral("COMX")});
    EXPECT_EQ(window.log.first(), QStringLiteral("Segment Program Modify for Device: COMX"));
    EXPECT_TRUE(prompts.Messages.isEmpty()) << prompts.Messages.join(u'|').toStdString();

    TypeRecipe(QStringLiteral("COMX 50,5"));
    EXPECT_EQ(Result(), QStringLiteral("Illegal character ',' on line: 1\n"));
    EXPECT_FALSE(sheet.RecipeValid());
}

} // namespace
