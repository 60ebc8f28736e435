#include "WindowFixture.h"

#include "ui/HelpTexts.h"
#include "ui/widgets/DzHTMLText.h"

#include <QAbstractScrollArea>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextTable>

namespace {

class ContextHelp : public WindowFixture {
protected:
    TDzHTMLText* Panel() const { return Find<TDzHTMLText>("DzHTMLTextTips"); }

    // Moves the pointer onto a point of a control, as the operator would:
    // the event reaches whatever widget lies there (a viewport, a child).
    void PointAt(QWidget* control, QPoint at = {}) const
    {
        ASSERT_NE(control, nullptr);
        ShowPageOf(control);
        if (auto* area = qobject_cast<QAbstractScrollArea*>(control))
            control = area->viewport();
        if (at.isNull())
            at = control->rect().center();
        // A move to where the pointer already is reports nothing.
        QTest::mouseMove(control, at + QPoint(1, 1));
        QTest::mouseMove(control, at);
    }

    void ShowPageOf(QWidget* control) const
    {
        auto* pages = Find<QTabWidget>("PageControl1");
        for (QWidget* w = control; w; w = w->parentWidget()) {
            if (pages->indexOf(w) >= 0)
                pages->setCurrentWidget(w);
        }
    }

    void PointAt(const char* name) const { PointAt(Find<QWidget>(name)); }
};

TEST_F(ContextHelp, PanelIsEmptyUntilThePointerMoves)
{
    EXPECT_TRUE(Panel()->Text().isEmpty());
    EXPECT_TRUE(window->MouseOverName().isEmpty());
}

// Every row starts from the pointer over the message log, so "unchanged"
// means the log's text and name.
TEST_F(ContextHelp, PointerShowsTheTextOfTheControlUnderIt)
{
    const QString logText = HelpText(QStringLiteral("MemoMain"));
    const QString defaultText = HelpText(QString());
    // Where on the control: its centre, or a point counted from its top
    // left (x, y >= 0) or from its bottom left (y < 0).
    struct Case {
        const char* name;
        const char* control;
        QString text;
        QString mouseOverName;
        QPoint at = {};
    };
    const Case cases[] = {
        {"button by its help key", "BitBtn6", HelpText(QStringLiteral("ButtonApplyConfiguration")),
         QStringLiteral("BitBtn6")},
        {"multi-device button", "BitBtn2", HelpText(QStringLiteral("ButtonSegmentProgramStop")),
         QStringLiteral("BitBtn2")},
        {"the graph", "RtGraph2DMain", HelpText(QStringLiteral("RtGraph2DMain")), QStringLiteral("RtGraph2DMain")},
        {"list, over its rows", "ListViewDevices", HelpText(QStringLiteral("ListViewDevices")),
         QStringLiteral("ListViewDevices")},
        {"label", "LabelFluid", HelpText(QStringLiteral("LabelFluid")), QStringLiteral("LabelFluid")},
        {"the help panel itself", "DzHTMLTextTips", HelpText(QStringLiteral("DzHTMLTextTips")),
         QStringLiteral("DzHTMLTextTips")},
        {"edit without an entry", "EditDeviceName", defaultText, QStringLiteral("EditDeviceName")},
        {"fluid list on entering", "ComboBoxDeviceFluid", FluidListHelpText(), QStringLiteral("MemoMain")},
        {"pump fluid list on entering", "ComboBoxDeviceFluidPump", FluidListHelpText(), QStringLiteral("MemoMain")},
        {"unit list on entering", "ComboBoxFlowUnitPredefined", FlowUnitListHelpText(), QStringLiteral("MemoMain")},
        {"colour picker is silent", "RtColorPickComboDeviceColor", logText, QStringLiteral("MemoMain")},
        {"empty tab page", "TabSheetTools", defaultText, QStringLiteral("TabSheetTools")},
        {"designer time group", "MixDesignGroupBox", HelpText(QStringLiteral("MixDesignGroupBox")),
         QStringLiteral("MixDesignGroupBox"), {3, 3}},
        {"designer time field", "RtDoubleEditDesignMixTime", HelpText(QStringLiteral("RtDoubleEditDesignMixTime")),
         QStringLiteral("RtDoubleEditDesignMixTime")},
        {"designer field of a device", "DoubleEditDynamic_COMX",
         QStringLiteral("Manually entering the flow gives more precission, allowing fractions."),
         QStringLiteral("DoubleEditDynamic_COMX")},
        {"scroll box below the device groups", "ScrollBoxFlow",
         QStringLiteral("Set the flow for this device. Trackbar reacts to mouse wheel and changes the time value "
                        "between 0 and the largest flow possible with the device."),
         QStringLiteral("ScrollBoxFlow"), {10, -3}},
        {"flow panel's own margin", "FlowPanelControls", defaultText, QStringLiteral("FlowPanelControls"), {10, -3}},
        {"device slider is silent", "TrackBarDesignerDynamic_COMX", logText, QStringLiteral("MemoMain")},
        {"device group is silent", "GroupBoxDesignerDynamic_COMX", logText, QStringLiteral("MemoMain"), {3, 3}},
    };
    Focus(QStringLiteral("COMX")); // the designer gets its device group
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PointAt("MemoMain");
        ASSERT_EQ(Panel()->Text(), logText);
        QWidget* control = Find<QWidget>(c.control);
        ShowPageOf(control);
        if (control->isVisible()) {
            PointAt(control, c.at.y() < 0 ? QPoint(c.at.x(), control->height() + c.at.y()) : c.at);
        } else {
            // The pump's list stands hidden in the place of the gas list.
            QEvent enter(QEvent::Enter);
            QCoreApplication::sendEvent(control, &enter);
        }
        EXPECT_EQ(Panel()->Text(), c.text);
        EXPECT_EQ(window->MouseOverName(), c.mouseOverName);
    }
}

TEST_F(ContextHelp, PanelRendersFramedBlocksAndColouredSpans)
{
    PointAt("BitBtn6");
    const QTextDocument& shown = Panel()->Document();
    const QTextCursor caution = shown.find(QStringLiteral("making the device usable in other tabs."));
    ASSERT_FALSE(caution.isNull());
    EXPECT_EQ(caution.charFormat().background().color(), QColor(0xFF, 0xFF, 0x00));
    EXPECT_FALSE(shown.find(QStringLiteral("Do note")).charFormat().hasProperty(QTextFormat::BackgroundBrush));

    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(Find<QWidget>("ComboBoxDeviceFluid"), &enter);
    QStringList frameTitles;
    for (QTextFrame* frame : Panel()->Document().rootFrame()->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(frame))
            frameTitles << table->cellAt(0, 0).firstCursorPosition().block().text().section(QChar::LineSeparator, 0, 0);
    }
    EXPECT_EQ(frameTitles, QStringList({QStringLiteral("Shortname"), QStringLiteral("Formula"),
                                        QStringLiteral("Longname (or recipe)")}));
}

} // namespace
