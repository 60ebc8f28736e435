#include "WindowFixture.h"

#include "ui/SegmentSeriesPoints.h"
#include "ui/widgets/RtGraph2D.h"
#include "ui/widgets/RtPointSeries.h"

#include <QAction>
#include <QScrollBar>
#include <QTest>

#include <algorithm>

namespace {

QList<QPointF> Points(const QList<QPointF>& points)
{
    return points;
}

// What the chart draws once its pending replot has run.
QList<QPointF> Drawn(const TRtPointSeries* series)
{
    QCoreApplication::processEvents();
    QList<QPointF> points;
    for (auto it = series->Plottable()->data()->constBegin(); it != series->Plottable()->data()->constEnd(); ++it)
        points << QPointF(it->key, it->value);
    return points;
}

TEST(SegmentSeriesPoints, StepsHoldRampsRunAndTheLastSetpointRunsOn)
{
    struct Case {
        const char* program;
        QList<QPointF> points;
    };
    const Case cases[] = {
        {"0 20 Step\r\n10 50 Step\r\n20 0 Ramp",
         {{0, 0}, {0, 0}, {0, 20}, {10, 20}, {10, 50}, {20, 0}, {20.2, 0}}},
        {"5 40 Ramp", {{0, 0}, {5, 40}, {5.05, 40}}},
        {"5 0 Ramp", {{5, 0}, {5.05, 0}}},          // from 0 % nothing to rise from
        {"0 40 Ramp", {{0, 40}, {0, 40}}},           // its extension stays at time 0
        {"0 40 step\r\n3 10 RAMP", {{0, 0}, {0, 0}, {0, 40}, {3, 10}, {3.03, 10}}}, // any letter case
        {"", {}},
    };
    for (const Case& c : cases) {
        const QList<QPointF> points = SegmentSeriesPoints(QString::fromLatin1(c.program), tspttKeep);
        EXPECT_EQ(points, c.points) << c.program;
    }
}

using GraphTest = WindowFixture;

TEST_F(GraphTest, UnreadableLineIsLeftOutOfTheDrawing)
{
    const QList<QPointF> points =
        SegmentSeriesPoints(QStringLiteral("2 30 Step\r\nxx\r\n4 60 Step"), tspttKeep);
    EXPECT_EQ(points, Points({{0, 0}, {2, 0}, {2, 30}, {4, 30}, {4, 60}, {4.04, 60}}));
    EXPECT_EQ(prompts.Messages, QStringList({"Failed to read segment"}));
}

TEST_F(GraphTest, SegmentSeriesIsMadeOnceStoredAndDrawnInTheDeviceColour)
{
    SetProgram(QStringLiteral("COMY"), QStringLiteral("0 20 Step\r\n10 50 Step\r\n20 0 Ramp"));
    window->SegmentSerie(Device(QStringLiteral("COMY")));
    TRtPointSeries* series = Device(QStringLiteral("COMY")).SerieSegment;
    ASSERT_NE(series, nullptr);
    const QList<QPointF> program = Points({{0, 0}, {0, 0}, {0, 20}, {10, 20}, {10, 50}, {20, 0}, {20.2, 0}});
    QTRY_VERIFY(Drawn(series) == program); // once the chart has replotted, fitted to the data
    EXPECT_EQ(series->LineColor(), QColor(0, 0x80, 0)); // the demonstration device's green
    EXPECT_EQ(series->LineWidth(), 2);
    EXPECT_FALSE(series->PointsVisible());

    SetProgram(QStringLiteral("COMY"), QStringLiteral("5 40 Ramp"));
    window->SegmentSerie(Device(QStringLiteral("COMY")));
    EXPECT_EQ(Device(QStringLiteral("COMY")).SerieSegment, series); // redrawn, not made again
    EXPECT_EQ(series->XValues(), QVector<double>({0, 5, 5.05}));

    // Both ends follow the data, rounded to ticks, once the replot runs.
    auto* graph = Find<TRtGraph2D>("RtGraph2DMain");
    QTRY_COMPARE(graph->XAxis1().Stop(), 6.0);
    EXPECT_EQ(graph->XAxis1().Start(), 0.0);
    EXPECT_EQ(graph->YAxis1().Stop(), 40.0);
}

TEST_F(GraphTest, MarkerShapeFollowsTheDeviceType)
{
    struct Case {
        tDeviceType type;
        TRtPointSymbol symbol;
    };
    const Case cases[] = {{dtMFCA, TRtPointSymbol::Circle}, {dtMFCB, TRtPointSymbol::Square},
                          {dtMFCC, TRtPointSymbol::Star},   {dtMFCD, TRtPointSymbol::Delta},
                          {dtPump, TRtPointSymbol::Diamond}};
    for (const Case& c : cases) {
        TDeviceInfo device = Device(QStringLiteral("COMX"));
        device.DevType = c.type;
        ASSERT_TRUE(StoreDevice(device));
        window->FlowSerie(device, 1, 10, false);
        const TRtPointSeries* flow = Device(QStringLiteral("COMX")).SerieFlow;
        EXPECT_EQ(flow->PointSymbol(), c.symbol) << int(c.type);
        EXPECT_TRUE(flow->PointsVisible());
        EXPECT_EQ(flow->PointSize(), 25);
        EXPECT_EQ(flow->PointBorderWidth(), 2);
        EXPECT_EQ(flow->PointBorderColor(), QColor(Qt::black));
        EXPECT_EQ(flow->PointFillColor(), QColor::fromRgba(clRtPurple));
        EXPECT_EQ(flow->LineWidth(), 3);
    }
}

TEST_F(GraphTest, DenseFlowMarkersStandTheirSizeApart)
{
    for (int i = 0; i < 2000; ++i)
        window->FlowSerie(Device(QStringLiteral("COMX")), i / 20.0, 50, false);
    const TRtPointSeries* flow = Device(QStringLiteral("COMX")).SerieFlow;
    auto* graph = Find<TRtGraph2D>("RtGraph2DMain");
    QTRY_COMPARE(graph->XAxis1().Stop(), 100.0); // fitted to the data and replotted
    const int pixels = graph->axisRect()->width();
    const int skip = flow->Plottable()->scatterSkip();
    EXPECT_GE((skip + 1) * double(pixels) / 2000, 25.0);
    EXPECT_LT(skip * double(pixels) / 2000, 25.0); // and not sparser than needed

    window->FlowSerie(Device(QStringLiteral("COMX")), 0, 0, true);
    window->FlowSerie(Device(QStringLiteral("COMX")), 1, 50, false);
    graph->replot();
    EXPECT_EQ(flow->Plottable()->scatterSkip(), 0);
}

TEST_F(GraphTest, LongSeriesDrawsEachPixelColumnsExtremesAndZoomingInDrawsEveryPoint)
{
    constexpr int Points = 100000;
    constexpr int Spike = 54321;
    constexpr int Dip = 12345;
    for (int i = 0; i < Points; ++i) {
        const double y = i == Spike ? 97.5 : i == Dip ? 2.5 : 50 + (i % 7) / 10.0;
        window->FlowSerie(Device(QStringLiteral("COMX")), i / 60.0, y, false);
    }
    const TRtPointSeries* flow = Device(QStringLiteral("COMX")).SerieFlow;
    auto* graph = Find<TRtGraph2D>("RtGraph2DMain");
    const QList<QPointF> whole = Drawn(flow);
    const int pixels = graph->axisRect()->width();
    EXPECT_LE(whole.size(), 4 * (pixels + 2));
    EXPECT_EQ(whole.first(), QPointF(0, 50));
    EXPECT_EQ(whole.last(), QPointF((Points - 1) / 60.0, float(50 + ((Points - 1) % 7) / 10.0))); // kept as float
    EXPECT_TRUE(whole.contains(QPointF(Spike / 60.0, 97.5)));
    EXPECT_TRUE(whole.contains(QPointF(Dip / 60.0, 2.5)));
    EXPECT_TRUE(std::is_sorted(whole.cbegin(), whole.cend(),
                               [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); }));

    // 200 points in view: each drawn, with one beyond each edge.
    graph->ZoomTo(QCPRange((Spike - 0.5) / 60, (Spike + 199.5) / 60), QCPRange(0, 100));
    QList<QPointF> zoomed = Drawn(flow);
    ASSERT_EQ(zoomed.size(), 202);
    for (int i = 0; i < zoomed.size(); ++i)
        EXPECT_EQ(zoomed.at(i).x(), (Spike - 1 + i) / 60.0) << i;
}

TEST_F(GraphTest, FlowSeriesSkipsIdleDevicesAndIsClearedOnRequest)
{
    TDeviceInfo device = Device(QStringLiteral("COMX"));
    device.ControlMode = dcmIdle;
    ASSERT_TRUE(StoreDevice(device));
    window->FlowSerie(device, 1, 10, false);
    EXPECT_EQ(Device(QStringLiteral("COMX")).SerieFlow, nullptr);

    device.ControlMode = dcmSegment;
    ASSERT_TRUE(StoreDevice(device));
    window->FlowSerie(Device(QStringLiteral("COMX")), 1, 10, false);
    window->FlowSerie(Device(QStringLiteral("COMX")), 2, 20, false);
    TRtPointSeries* flow = Device(QStringLiteral("COMX")).SerieFlow;
    ASSERT_NE(flow, nullptr);
    EXPECT_EQ(flow->YValues(), QVector<double>({10, 20}));

    window->FlowSerie(Device(QStringLiteral("COMX")), 0, 0, true);
    EXPECT_TRUE(flow->XValues().isEmpty());
    EXPECT_TRUE(flow->Plottable()->data()->isEmpty());
}

TEST_F(GraphTest, HoursDrawNinetyMinutesAtOnePointFive)
{
    SetProgram(QStringLiteral("COMX"), QStringLiteral("90 40 Ramp"));
    Focus(QStringLiteral("COMX"));
    window->FlowSerie(Device(QStringLiteral("COMX")), 90, 30, false);
    window->SegmentSerie(Device(QStringLiteral("COMX")));

    window->Hour1Click();
    const TDeviceInfo device = Device(QStringLiteral("COMX"));
    EXPECT_EQ(Drawn(device.SerieFlow), Points({{1.5, 30}}));
    EXPECT_EQ(Drawn(device.SerieSegment), Points({{0, 0}, {1.5, 40}, {1.515, 40}}));
    EXPECT_EQ(device.SerieFlow->XValues(), QVector<double>({90})); // kept in minutes

    window->FlowSerie(device, 120, 35, false); // points added later are scaled as well
    EXPECT_EQ(Drawn(device.SerieFlow).last(), QPointF(2, 35));
}

TEST_F(GraphTest, ClearGraphEmptiesTheSeriesOfListedDevices)
{
    window->SegmentSerie(Device(QStringLiteral("COMX")));
    window->FlowSerie(Device(QStringLiteral("COMX")), 1, 10, false);
    window->ClearGraph(false);
    EXPECT_FALSE(Device(QStringLiteral("COMX")).SerieSegment->XValues().isEmpty());

    Find<QAction>("Cleargraphdiscarddata1")->trigger();
    EXPECT_TRUE(Device(QStringLiteral("COMX")).SerieSegment->XValues().isEmpty());
    EXPECT_TRUE(Device(QStringLiteral("COMX")).SerieFlow->XValues().isEmpty());
}

TEST_F(GraphTest, TimeHighlightStartsEmptyWideAndRed)
{
    TRtPointSeries* highlight = window->RtLineSeriesTimeHighlight();
    ASSERT_NE(highlight, nullptr);
    EXPECT_EQ(highlight->objectName(), QStringLiteral("RtLineSeriesTimeHighlight"));
    EXPECT_TRUE(highlight->XValues().isEmpty());
    EXPECT_EQ(highlight->LineWidth(), 10);
    EXPECT_EQ(highlight->LineColor(), QColor(Qt::red));
    EXPECT_FALSE(highlight->PointsVisible());

    window->Hour1Click(); // scaled like the device series
    highlight->SetPoints({{90, 0}, {90, 100}, {90, 0}});
    EXPECT_EQ(Drawn(highlight), Points({{1.5, 0}, {1.5, 100}, {1.5, 0}}));
}

TEST(RoundedToTicks, WidensToRoundSteps)
{
    struct Case {
        double lower, upper, roundedLower, roundedUpper;
    };
    const Case cases[] = {
        {0, 24.24, 0, 25}, {0, 100, 0, 100}, {0, 20.2, 0, 25}, {-3, 47, -10, 50},
        {0.3, 0.87, 0.3, 0.9}, {5, 5, 4, 6}, // a single value gets room around it
    };
    for (const Case& c : cases) {
        const QCPRange range = RoundedToTicks(c.lower, c.upper);
        EXPECT_NEAR(range.lower, c.roundedLower, 1e-12) << c.lower << ".." << c.upper;
        EXPECT_NEAR(range.upper, c.roundedUpper, 1e-12) << c.lower << ".." << c.upper;
    }
}

TEST_F(GraphTest, ZoomStackStepsBackAndReturnsToTheFullView)
{
    auto* graph = Find<TRtGraph2D>("RtGraph2DMain");
    graph->resize(800, 400);
    graph->replot();
    const QCPRange fullTime = graph->TimeAxis()->range();
    const QCPRange fullFlow = graph->FlowAxis()->range();
    const QPoint outside(2, 2);
    ASSERT_FALSE(graph->axisRect()->rect().contains(outside));

    auto drag = [graph](QPoint offset, Qt::KeyboardModifiers keys = Qt::NoModifier) {
        const QPoint middle = graph->axisRect()->rect().center();
        QTest::mousePress(graph, Qt::LeftButton, keys, middle - offset);
        QTest::mouseMove(graph, middle + offset);
        QTest::mouseRelease(graph, Qt::LeftButton, keys, middle + offset);
    };
    auto zoomIn = [&drag] { drag(QPoint(100, 50)); };

    zoomIn();
    ASSERT_TRUE(graph->IsZoomed());
    const QCPRange firstZoom = graph->TimeAxis()->range();
    EXPECT_LT(firstZoom.size(), fullTime.size());
    EXPECT_LT(graph->FlowAxis()->range().size(), fullFlow.size());
    EXPECT_TRUE(graph->findChild<QScrollBar*>()->isVisible());
    zoomIn();
    EXPECT_LT(graph->TimeAxis()->range().size(), firstZoom.size());

    QTest::mouseClick(graph, Qt::LeftButton, Qt::NoModifier, outside);
    EXPECT_DOUBLE_EQ(graph->TimeAxis()->range().lower, firstZoom.lower);
    EXPECT_DOUBLE_EQ(graph->TimeAxis()->range().upper, firstZoom.upper);

    zoomIn();
    zoomIn(); // three levels deep: the double-click's own presses step back only some
    QTest::mouseDClick(graph, Qt::LeftButton, Qt::NoModifier, outside);
    EXPECT_FALSE(graph->IsZoomed());
    EXPECT_DOUBLE_EQ(graph->TimeAxis()->range().lower, fullTime.lower);
    EXPECT_DOUBLE_EQ(graph->TimeAxis()->range().upper, fullTime.upper);
    EXPECT_DOUBLE_EQ(graph->FlowAxis()->range().upper, fullFlow.upper);
    EXPECT_FALSE(graph->findChild<QScrollBar*>()->isVisible());

    // Shift-drag pans: the span stays, the view moves; a click outside comes back.
    drag(QPoint(50, 0), Qt::ShiftModifier);
    EXPECT_NEAR(graph->TimeAxis()->range().size(), fullTime.size(), 1e-9);
    EXPECT_LT(graph->TimeAxis()->range().lower, fullTime.lower);
    QTest::mouseClick(graph, Qt::LeftButton, Qt::NoModifier, outside);
    EXPECT_DOUBLE_EQ(graph->TimeAxis()->range().lower, fullTime.lower);
}

TEST_F(GraphTest, ScrollBarsMoveTheZoomedView)
{
    auto* graph = Find<TRtGraph2D>("RtGraph2DMain");
    graph->TimeAxis()->setRange(0, 100);
    graph->ZoomTo(QCPRange(0, 10), QCPRange(0, 100));
    QScrollBar* timeBar = nullptr;
    for (QScrollBar* bar : graph->findChildren<QScrollBar*>()) {
        if (bar->orientation() == Qt::Horizontal)
            timeBar = bar;
    }
    ASSERT_NE(timeBar, nullptr);
    EXPECT_EQ(timeBar->value(), 0);
    timeBar->setValue(timeBar->maximum());
    EXPECT_NEAR(graph->TimeAxis()->range().lower, 90, 1e-9);
    EXPECT_NEAR(graph->TimeAxis()->range().upper, 100, 1e-9);
}

} // namespace
