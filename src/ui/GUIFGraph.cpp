// The graph's series: programmed and achieved flows of the devices, the
// designer's time highlight, time scaling and the visibility toggles.
#include "ui/GUIF.h"

#include "devices/DeviceRegistry.h"
#include "ui/SegmentSeriesPoints.h"
#include "ui/widgets/RtGraph2D.h"
#include "ui/widgets/RtPointSeries.h"

#include <QAction>
#include <QTreeWidget>

namespace {

constexpr double SegmentLineWidth = 2;
constexpr double FlowLineWidth = 3;
constexpr double HighlightLineWidth = 10;
constexpr double MarkerSize = 25;
constexpr double MarkerBorderWidth = 2;

void SetSymbolByType(TRtPointSeries* series, tDeviceType type)
{
    switch (type) {
    case dtMFCA: series->SetPointSymbol(TRtPointSymbol::Circle); break;
    case dtMFCB: series->SetPointSymbol(TRtPointSymbol::Square); break;
    case dtMFCC: series->SetPointSymbol(TRtPointSymbol::Star); break;
    case dtMFCD: series->SetPointSymbol(TRtPointSymbol::Delta); break;
    case dtPump: series->SetPointSymbol(TRtPointSymbol::Diamond); break;
    case dtMFCDemo: break; // keeps the chart's default
    }
}

} // namespace

void TGUIF::CreateTimeHighlight()
{
    timeHighlight = new TRtPointSeries(RtGraph2DMain);
    timeHighlight->setObjectName(QStringLiteral("RtLineSeriesTimeHighlight"));
    timeHighlight->SetLineWidth(HighlightLineWidth);
    timeHighlight->SetPointsVisible(false);
    timeHighlight->SetLineColor(Qt::red);
    timeHighlight->SetXValueTransformation([this](double x) { return RtPointSeriesXValueTransformation(x); });
}

TRtPointSeries* TGUIF::NewDeviceSeries(const TDeviceInfo& device, bool flow)
{
    auto* series = new TRtPointSeries(RtGraph2DMain);
    series->setObjectName((flow ? QStringLiteral("SerieFlow ") : QStringLiteral("SerieSegment ")) + device.COMPort);
    series->SetLineWidth(flow ? FlowLineWidth : SegmentLineWidth);
    series->SetPointsVisible(flow);
    series->SetPointSize(MarkerSize);
    series->SetPointBorderWidth(MarkerBorderWidth);
    series->SetPointBorderColor(Qt::black);
    series->SetXValueTransformation([this](double x) { return RtPointSeriesXValueTransformation(x); });
    // A series made while its kind is switched off in the Data menu stays hidden too.
    series->SetVisible(flow ? Showachievedflows1->isChecked() : ShowSegmentPrograms1->isChecked());
    return series;
}

void TGUIF::StyleDeviceSeries(TRtPointSeries* series, const TDeviceInfo& device)
{
    const QColor color = QColor::fromRgba(device.Color);
    series->SetLineColor(color);
    series->SetPointFillColor(color);
    SetSymbolByType(series, device.DevType);
}

void TGUIF::SegmentSerie(TDeviceInfo aDevice)
{
    if (!aDevice.SerieSegment)
        aDevice.SerieSegment = NewDeviceSeries(aDevice, false);
    StyleDeviceSeries(aDevice.SerieSegment, aDevice);
    aDevice.SerieSegment->SetPoints(SegmentSeriesPoints(aDevice.SegmentProgram, aDevice.SegmentProgramTermination,
                                                        engine.ProgramStartMinutes(aDevice)));
    StoreDevice(aDevice);
}

void TGUIF::FlowSerie(TDeviceInfo aDevice, double X, double Y, bool Clear)
{
    if (aDevice.ControlMode == dcmIdle)
        return;
    if (!aDevice.SerieFlow)
        aDevice.SerieFlow = NewDeviceSeries(aDevice, true);
    StyleDeviceSeries(aDevice.SerieFlow, aDevice);
    if (Clear)
        aDevice.SerieFlow->Clear();
    else
        aDevice.SerieFlow->Append(X, Y);
    StoreDevice(aDevice);
}

double TGUIF::RtPointSeriesXValueTransformation(double x) const
{
    return x / timeUnitFactor;
}

void TGUIF::InvalidateAllSeries()
{
    for (TRtPointSeries* series : RtGraph2DMain->findChildren<TRtPointSeries*>(Qt::FindDirectChildrenOnly))
        series->Invalidate();
}

void TGUIF::ClearGraph(bool RemoveData)
{
    if (!RemoveData)
        return;
    for (int row = 0; row < ListViewDevices->topLevelItemCount(); ++row) {
        TDeviceInfo device;
        if (!GetDeviceByPort(ListViewDevices->topLevelItem(row)->text(0), device))
            continue;
        for (TRtPointSeries* series : {device.SerieSegment, device.SerieFlow}) {
            if (series)
                series->Clear();
        }
    }
}

void TGUIF::Cleargraphdiscarddata1Click()
{
    ClearGraph(true);
}

void TGUIF::ApplySegmentSeriesVisibility()
{
    for (const TDeviceInfo& device : std::as_const(DevicesLocal)) {
        if (device.SerieSegment)
            device.SerieSegment->SetVisible(ShowSegmentPrograms1->isChecked());
    }
    MemoSegmentsUpdate();
}

void TGUIF::ApplyFlowSeriesVisibility()
{
    for (const TDeviceInfo& device : std::as_const(DevicesLocal)) {
        if (device.SerieFlow)
            device.SerieFlow->SetVisible(Showachievedflows1->isChecked());
    }
    MemoSegmentsUpdate();
}
