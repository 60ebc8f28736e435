#include "WindowFixture.h"

#include "engine/RunControl.h"
#include "mfc/MFCThread.h"
#include "ui/widgets/RtColorPickCombo.h"
#include "ui/widgets/RtDoubleEdit.h"
#include "ui/widgets/hhALed.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

class ConfigureTest : public WindowFixture {
protected:
    QComboBox* Units() const { return Find<QComboBox>("ComboBoxFlowUnitPredefined"); }
    QComboBox* Gases() const { return Find<QComboBox>("ComboBoxDeviceFluid"); }

    void ChooseGas(qint32 id) const { ChooseFluid("ComboBoxDeviceFluid", id); }

    void Apply() const { QTest::mouseClick(Find<QPushButton>("BitBtn6"), Qt::LeftButton); }

    // The number in a grouped read-out such as "24.580 75 ml/min".
    static double Number(const QString& text)
    {
        QString digits = text.section(QLatin1Char(' '), 0, -2);
        return digits.remove(QLatin1Char(' ')).toDouble();
    }
};

TEST_F(ConfigureTest, ReferenceConditionsFillTheUnitEditors)
{
    auto* temperature = Find<TRtDoubleEdit>("EditFlowUnitTemperatureC");
    auto* pressure = Find<TRtDoubleEdit>("EditFlowUnitPressureBar");
    auto* name = Find<QLineEdit>("EditFlowUnitName");
    EXPECT_EQ(Units()->count(), 22);
    EXPECT_EQ(Units()->currentIndex(), -1);
    EXPECT_TRUE(temperature->isHidden());

    Units()->setCurrentIndex(3);
    EXPECT_EQ(temperature->Value(), 20);
    EXPECT_EQ(pressure->Value(), 1.01325);
    EXPECT_EQ(name->text(), QStringLiteral("ml/min"));
    EXPECT_EQ(Find<QLabel>("LabelUnitTemp")->text(), QStringLiteral("68ºF"));
    EXPECT_EQ(Find<QLabel>("LabelPSI")->text(), QStringLiteral("14.696 psi"));
    for (const char* control : {"EditFlowUnitTemperatureC", "EditFlowUnitPressureBar", "LabelUnitTemp", "LabelPSI"})
        EXPECT_TRUE(Find<QWidget>(control)->isVisible()) << control;

    Units()->setCurrentIndex(21);
    EXPECT_EQ(temperature->Value(), 22);
    EXPECT_EQ(Find<QLabel>("LabelUnitTemp")->text(), QStringLiteral("71.6ºF"));

    Units()->setCurrentIndex(1);
    EXPECT_EQ(name->text(), QStringLiteral("g/min"));
    EXPECT_EQ(temperature->Value(), 22) << "grams keep the conditions as they were";
    for (const char* control : {"EditFlowUnitTemperatureC", "EditFlowUnitPressureBar", "LabelUnitTemp", "LabelPSI"})
        EXPECT_TRUE(Find<QWidget>(control)->isHidden()) << control;

    Units()->setCurrentIndex(0);
    EXPECT_EQ(name->text(), QStringLiteral("g/min")) << "the header changes nothing";
}

TEST_F(ConfigureTest, FocusedRowIsShownAndMarked)
{
    auto* type = Find<QLineEdit>("EditDeviceType");
    Focus(QStringLiteral("COMX"));
    Devices()->setCurrentItem(nullptr);
    EXPECT_EQ(type->text(), QStringLiteral("No valid device selected"));
    EXPECT_TRUE(Find<QLineEdit>("EditDeviceName")->text().isEmpty());

    Focus(QStringLiteral("COMY"));
    EXPECT_EQ(type->text(), QStringLiteral("Simulated MFC"));
    EXPECT_EQ(Find<QLineEdit>("EditDeviceName")->text(), QStringLiteral("Virtual Demo"));
    EXPECT_EQ(Find<TRtColorPickCombo>("RtColorPickComboDeviceColor")->ActiveColor(), clRtGreen);
    EXPECT_EQ(Find<QLabel>("LabelSelectedDeviceNameRole")->text(), QStringLiteral("Virtual Demo Simulated MFC"));
    EXPECT_EQ(Gases()->currentIndex(), 0) << "no gas configured: the header shows";
    EXPECT_NEAR(Find<TRtDoubleEdit>("RtDoubleEditDevMaxFlow")->Value(), 500, 1e-9);

    // Ctrl-click adds COMX: it becomes the focused row, COMY stays selected.
    QTreeWidgetItem* comx = Devices()->topLevelItem(0);
    const QRect rect = Devices()->visualItemRect(comx);
    QTest::mouseClick(Devices()->viewport(), Qt::LeftButton, Qt::ControlModifier, rect.center());
    EXPECT_EQ(Devices()->currentItem(), comx);
    EXPECT_FALSE(comx->icon(0).isNull());
    EXPECT_FALSE(Devices()->topLevelItem(1)->icon(0).isNull());
    EXPECT_EQ(window->SelectedPorts(), (QStringList{QStringLiteral("COMX"), QStringLiteral("COMY")}));
}

TEST_F(ConfigureTest, ApplyNeedsAGasAndStartsTheDeviceOnce)
{
    Focus(QStringLiteral("COMX"));
    Apply();
    EXPECT_EQ(prompts.Messages, QStringList{QStringLiteral("No fluid selected for MFC")});
    EXPECT_FALSE(Device(QStringLiteral("COMX")).ThreadMFC);

    ChooseGas(8);
    Apply();
    const TDeviceInfo device = Device(QStringLiteral("COMX"));
    ASSERT_TRUE(device.ThreadMFC);
    ASSERT_TRUE(device.Led);
    EXPECT_EQ(device.Led->FalseColor(), QColor(0x80, 0x00, 0x80)) << "the lamp's dark colour is the device's";
    EXPECT_EQ(device.Led->x(), 18 * window->GetDPIScaling());
    EXPECT_EQ(Devices()->topLevelItem(0)->text(1), QStringLiteral("Ready"));
    EXPECT_EQ(device.ControlMode, dcmIdle);
    EXPECT_EQ(device.FluidID, 8);

    Find<TRtColorPickCombo>("RtColorPickComboDeviceColor")->SetActiveColor(0xFFFF0000);
    EXPECT_EQ(Find<QLabel>("LabelDeviceColor")->text(), QStringLiteral("00000255"));
    Apply();
    EXPECT_EQ(Device(QStringLiteral("COMX")).ThreadMFC, device.ThreadMFC);
    EXPECT_EQ(Device(QStringLiteral("COMX")).Led, device.Led) << "no second lamp";
    EXPECT_EQ(device.Led->FalseColor(), QColor(0xFF, 0x00, 0x00));
}

TEST_F(ConfigureTest, AirIsShownForGasZeroNeverTheHeader)
{
    SetProgram(QStringLiteral("COMX"), QString());
    TDeviceInfo device = Device(QStringLiteral("COMX"));
    device.FluidID = 0;
    ASSERT_TRUE(StoreDevice(device));
    Focus(QStringLiteral("COMX"));
    ASSERT_GT(Gases()->currentIndex(), 0);
    EXPECT_TRUE(Gases()->currentText().startsWith(QStringLiteral("Air ")));
}

TEST_F(ConfigureTest, FullScaleAndResultingFlowInTheUsersUnit)
{
    Focus(QStringLiteral("COMX")); // 50 SCCM
    ChooseGas(0);
    Units()->setCurrentIndex(3); // 20 °C, 1.01325 bar
    Apply();
    EXPECT_NEAR(Find<TRtDoubleEdit>("RtDoubleEditDevMaxFlow")->Value(), 49.1615, 1e-4);
    EXPECT_NEAR(Find<TRtDoubleEdit>("RtDoubleEditDirectControlMaxFlow")->Value(), 49.1615, 1e-4);
    Find<TRtDoubleEdit>("RtDoubleEditSegmentFlow")->SetValue(50);
    EXPECT_NEAR(Number(Find<QLabel>("LabelResultingFlowinSpecifiedUnit")->text()), 24.58, 0.001);
    EXPECT_TRUE(Find<QLabel>("LabelResultingFlowinSpecifiedUnit")->text().endsWith(QStringLiteral(" ml/min")));

    Units()->setCurrentIndex(1);
    Apply();
    // 50 SCCM of the gas table's air (28.85064 g/mol) in g/min.
    EXPECT_NEAR(Find<TRtDoubleEdit>("RtDoubleEditDevMaxFlow")->Value(), 0.0591952 * 28.85064 / 28.9647, 1e-6);
    EXPECT_EQ(Find<QLabel>("LabelSpecifiedFlowUnit")->text(), QStringLiteral("g/min"));

    Focus(QStringLiteral("COMY"));
    EXPECT_EQ(Units()->currentIndex(), -1) << "COMY's unit is volumetric: grams must not carry over to it";
    Focus(QStringLiteral("COMX"));
    EXPECT_EQ(Units()->currentIndex(), 1);
}

// The significant digits of a shown number: "0.059 212 3" has 6.
int SignificantDigits(const QString& text)
{
    QString digits;
    for (const QChar c : text) {
        if (c.isDigit())
            digits += c;
    }
    while (digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    return int(digits.size());
}

TEST_F(ConfigureTest, FlowsShowTheDigitsThatMatterAndAZeroReferencePressureIsRefused)
{
    Focus(QStringLiteral("COMX")); // 50 SCCM
    ChooseGas(0);
    Units()->setCurrentIndex(3); // 20 °C, 1.01325 bar
    Apply();
    for (const char* maxFlow : {"RtDoubleEditDevMaxFlow", "RtDoubleEditDirectControlMaxFlow"}) {
        auto* edit = Find<TRtDoubleEdit>(maxFlow);
        EXPECT_EQ(edit->text(), QStringLiteral("49.1615")) << maxFlow;
        EXPECT_NE(edit->Value(), 49.1615) << maxFlow << ": the value keeps every digit";
    }
    Find<TRtDoubleEdit>("RtDoubleEditSegmentFlow")->SetValue(50);
    Find<TRtDoubleEdit>("RtDoubleEditDirectControlDesiredFlow")->SetValue(100.0 / 3);
    for (const char* result : {"LabelResultingFlowinSpecifiedUnit", "LabelDirectControlResultingFlow"}) {
        const QString text = Find<QLabel>(result)->text();
        EXPECT_EQ(SignificantDigits(text.section(QLatin1Char(' '), 0, -2)), 6) << text.toStdString();
    }

    // A reference pressure of 0 has no volume: "Apply" says so and changes nothing.
    const TDeviceInfo before = Device(QStringLiteral("COMX"));
    Find<TRtDoubleEdit>("EditFlowUnitPressureBar")->SetValue(0);
    Apply();
    EXPECT_EQ(prompts.Messages, QStringList{QStringLiteral("GasTo: Absolute zero pressure. Cannot perform math.")});
    EXPECT_EQ(Device(QStringLiteral("COMX")).FlowUnitUser.Pressure_BarA, before.FlowUnitUser.Pressure_BarA);
    EXPECT_EQ(Find<TRtDoubleEdit>("RtDoubleEditDevMaxFlow")->text(), QStringLiteral("49.1615"));
}

// The second demonstration row stands in for a pump.
class PumpRowTest : public ConfigureTest {
protected:
    void BeforeWindow() override
    {
        TDeviceInfo& pump = DevicesLocal[1];
        pump.DevType = dtPump;
        pump.FlowUnitUser.Name = QStringLiteral("µl/min");
        pump.SyringeSizeuL = 1000;
        pump.MaxFlow_ulpm = 25000;
    }
};

TEST_F(PumpRowTest, AClickShowsTheDeviceOnce)
{
    Focus(QStringLiteral("COMX"));
    auto* log = Find<QPlainTextEdit>("MemoMain");
    const auto lines = [log] {
        QCoreApplication::processEvents(); // lines are shown once the event loop turns
        return log->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts).size();
    };
    const qsizetype linesBefore = lines();
    const auto rows = Devices()->findItems(QStringLiteral("COMY"), Qt::MatchExactly);
    ASSERT_EQ(rows.size(), 1);
    QTest::mouseClick(Devices()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      Devices()->visualItemRect(rows.first()).center());
    ASSERT_EQ(Devices()->currentItem(), rows.first());
    // One refresh logs the pump command for the segment flow and the one for
    // the direct setpoint, each once.
    EXPECT_EQ(lines() - linesBefore, 2) << log->toPlainText().toStdString();
}

} // namespace
