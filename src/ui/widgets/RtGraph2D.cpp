#include "ui/widgets/RtGraph2D.h"

#include "ui/widgets/RtPointSeries.h"

#include <QScrollBar>
#include <QStyle>

#include <cmath>

namespace {

constexpr int CaptionPointSize = 14;
constexpr int NumberPointSize = 12;
constexpr int TargetTickCount = 5;
constexpr int MinZoomRectPixels = 4; // a smaller drag is a slip of the hand, not a zoom
constexpr int ScrollSteps = 10000;   // resolution of the scroll bars over the full view

QFont BoldFont(QFont font, int pointSize)
{
    font.setBold(true);
    font.setPointSize(pointSize);
    return font;
}

void SetScrollBar(QScrollBar* bar, const QCPRange& extent, const QCPRange& view, bool fromTop)
{
    const double span = extent.size();
    const int page = span > 0 ? qBound(1, int(std::lround(ScrollSteps * view.size() / span)), ScrollSteps)
                              : ScrollSteps;
    bar->setRange(0, ScrollSteps - page);
    bar->setPageStep(page);
    bar->setSingleStep(qMax(1, page / 10));
    const double offset = fromTop ? extent.upper - view.upper : view.lower - extent.lower;
    bar->setValue(span > 0 ? int(std::lround(ScrollSteps * offset / span)) : 0);
}

QCPRange ScrolledView(const QCPRange& extent, const QCPRange& view, int value, bool fromTop)
{
    const double offset = value * extent.size() / ScrollSteps;
    if (fromTop)
        return QCPRange(extent.upper - offset - view.size(), extent.upper - offset);
    return QCPRange(extent.lower + offset, extent.lower + offset + view.size());
}

} // namespace

void TRtAxis::SetCaption(const QString& caption)
{
    axis->setLabel(caption);
    axis->parentPlot()->replot(QCustomPlot::rpQueuedReplot);
}

void TRtAxis::SetStop(double stop)
{
    axis->setRangeUpper(stop);
    axis->parentPlot()->replot(QCustomPlot::rpQueuedReplot);
}

void TRtAxis::SetRange(double start, double stop)
{
    axis->setRange(start, stop);
    axis->parentPlot()->replot(QCustomPlot::rpQueuedReplot);
}

TRtGraph2D::TRtGraph2D(QWidget* parent)
    : QCustomPlot(parent)
    , timeScrollBar(new QScrollBar(Qt::Horizontal, this))
    , flowScrollBar(new QScrollBar(Qt::Vertical, this))
{
    setBackground(Qt::white);
    axisRect()->setBackground(Qt::white);
    const QFont captionFont = BoldFont(font(), CaptionPointSize);
    const QFont numberFont = BoldFont(font(), NumberPointSize);
    for (QCPAxis* axis : axisRect()->axes()) {
        axis->grid()->setVisible(false);
        axis->setLabelFont(captionFont);
        axis->setTickLabelFont(numberFont);
    }
    yAxis->setVisible(false);
    yAxis2->setVisible(true);
    xAxis->setLabel(QStringLiteral("Time, m"));
    xAxis->setRange(1, 2);
    yAxis2->setLabel(QStringLiteral("Flow, %"));
    yAxis2->setRange(0, 100);

    // Wide lines through a day of points cost the stroker hundreds of
    // milliseconds per replot; drawn as one polyline they take a few.
    setPlottingHint(QCP::phFastPolylines, true);

    setInteractions(QCP::iRangeDrag);
    axisRect()->setRangeDrag(Qt::Horizontal | Qt::Vertical);
    axisRect()->setRangeDragAxes(xAxis, yAxis2);
    setSelectionRectMode(QCP::srmCustom);
    connect(selectionRect(), &QCPSelectionRect::accepted, this,
            [this](const QRect& rect, QMouseEvent*) { ZoomToRect(rect); });

    // A zero interval fires once the current event (an engine tick, a
    // refresh of several series) is done, so all its changes share one replot.
    replotTimer.setSingleShot(true);
    replotTimer.setInterval(0);
    connect(&replotTimer, &QTimer::timeout, this, &TRtGraph2D::ReplotNow);
    connect(this, &QCustomPlot::beforeReplot, this, &TRtGraph2D::PrepareSeries);

    timeScrollBar->hide();
    flowScrollBar->hide();
    connect(timeScrollBar, &QScrollBar::valueChanged, this, &TRtGraph2D::ScrollTime);
    connect(flowScrollBar, &QScrollBar::valueChanged, this, &TRtGraph2D::ScrollFlow);
    connect(xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, &TRtGraph2D::SyncScrollBars);
    connect(yAxis2, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, &TRtGraph2D::SyncScrollBars);
}

TRtGraph2D::~TRtGraph2D()
{
    // The series take their plottables off the chart, which must still be whole.
    qDeleteAll(findChildren<TRtPointSeries*>(Qt::FindDirectChildrenOnly));
}

void TRtGraph2D::ScheduleReplot(bool changedData)
{
    dataChanged = dataChanged || changedData;
    if (!replotTimer.isActive())
        replotTimer.start();
}

void TRtGraph2D::ReplotNow()
{
    if (dataChanged && !IsZoomed())
        FitToData();
    dataChanged = false;
    replot();
}

void TRtGraph2D::PrepareSeries()
{
    for (TRtPointSeries* series : findChildren<TRtPointSeries*>(Qt::FindDirectChildrenOnly))
        series->PrepareDrawing();
}

void TRtGraph2D::FitToData()
{
    QCPRange time, flow;
    bool haveData = false;
    for (const TRtPointSeries* series : findChildren<TRtPointSeries*>(Qt::FindDirectChildrenOnly)) {
        QCPRange keys, values;
        if (!series->Visible() || !series->Bounds(keys, values))
            continue;
        if (!haveData) {
            time = keys;
            flow = values;
            haveData = true;
        } else {
            time.expand(keys);
            flow.expand(values);
        }
    }
    if (!haveData)
        return; // nothing to follow: the ends stay where they are
    xAxis->setRange(RoundedToTicks(time.lower, time.upper));
    yAxis2->setRange(RoundedToTicks(flow.lower, flow.upper));
}

void TRtGraph2D::SetView(const View& view)
{
    xAxis->setRange(view.time);
    yAxis2->setRange(view.flow);
}

void TRtGraph2D::ZoomTo(const QCPRange& time, const QCPRange& flow)
{
    zoomStack.append(CurrentView());
    SetView({time, flow});
    LayOutScrollBars();
    replot();
}

void TRtGraph2D::ZoomToRect(const QRect& rect)
{
    if (rect.width() < MinZoomRectPixels || rect.height() < MinZoomRectPixels)
        return;
    const QCPRange time(xAxis->pixelToCoord(rect.left()), xAxis->pixelToCoord(rect.right()));
    const QCPRange flow(yAxis2->pixelToCoord(rect.bottom()), yAxis2->pixelToCoord(rect.top()));
    ZoomTo(time, flow);
}

void TRtGraph2D::ZoomBack()
{
    if (zoomStack.isEmpty())
        return;
    SetView(zoomStack.takeLast());
    if (zoomStack.isEmpty())
        FitToData(); // back at the full view, which follows the data again
    LayOutScrollBars();
    replot();
}

void TRtGraph2D::ZoomFull()
{
    if (zoomStack.isEmpty())
        return;
    SetView(zoomStack.first());
    zoomStack.clear();
    FitToData();
    LayOutScrollBars();
    replot();
}

bool TRtGraph2D::OutsideAxes(const QPoint& pos) const
{
    return !axisRect()->rect().contains(pos);
}

void TRtGraph2D::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && OutsideAxes(event->position().toPoint())) {
        ZoomBack();
        event->accept();
        return;
    }
    const bool pan = event->modifiers().testFlag(Qt::ShiftModifier);
    if (pan && event->button() == Qt::LeftButton && !IsZoomed()) {
        // Panning leaves the full view: keep it to come back to.
        zoomStack.append(CurrentView());
        LayOutScrollBars();
    }
    setSelectionRectMode(pan ? QCP::srmNone : QCP::srmCustom);
    QCustomPlot::mousePressEvent(event);
}

void TRtGraph2D::mouseReleaseEvent(QMouseEvent* event)
{
    QCustomPlot::mouseReleaseEvent(event);
    setSelectionRectMode(QCP::srmCustom);
}

void TRtGraph2D::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && OutsideAxes(event->position().toPoint())) {
        ZoomFull();
        event->accept();
        return;
    }
    QCustomPlot::mouseDoubleClickEvent(event);
}

void TRtGraph2D::resizeEvent(QResizeEvent* event)
{
    QCustomPlot::resizeEvent(event);
    LayOutScrollBars();
}

void TRtGraph2D::LayOutScrollBars()
{
    const bool zoomed = IsZoomed();
    QRect area = rect();
    if (zoomed) {
        const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        area.adjust(0, 0, -extent, -extent);
        timeScrollBar->setGeometry(0, area.bottom() + 1, area.width(), extent);
        flowScrollBar->setGeometry(area.right() + 1, 0, extent, area.height());
    }
    timeScrollBar->setVisible(zoomed);
    flowScrollBar->setVisible(zoomed);
    setViewport(area);
    SyncScrollBars();
}

void TRtGraph2D::SyncScrollBars()
{
    if (!IsZoomed() || syncingScrollBars)
        return;
    syncingScrollBars = true;
    scrollExtent = zoomStack.first();
    scrollExtent.time.expand(xAxis->range());
    scrollExtent.flow.expand(yAxis2->range());
    SetScrollBar(timeScrollBar, scrollExtent.time, xAxis->range(), false);
    SetScrollBar(flowScrollBar, scrollExtent.flow, yAxis2->range(), true);
    syncingScrollBars = false;
}

void TRtGraph2D::ScrollTime(int value)
{
    if (syncingScrollBars)
        return;
    xAxis->setRange(ScrolledView(scrollExtent.time, xAxis->range(), value, false));
    replot(rpQueuedReplot);
}

void TRtGraph2D::ScrollFlow(int value)
{
    if (syncingScrollBars)
        return;
    yAxis2->setRange(ScrolledView(scrollExtent.flow, yAxis2->range(), value, true));
    replot(rpQueuedReplot);
}

QCPRange RoundedToTicks(double lower, double upper)
{
    if (!(upper > lower)) {
        // A single value: give it room on both sides.
        const double pad = qMax(1.0, std::abs(lower) * 0.1);
        lower -= pad;
        upper += pad;
    }
    const double rough = (upper - lower) / TargetTickCount;
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    const double mantissa = rough / magnitude;
    double best = 1;
    for (double candidate : {2.0, 2.5, 5.0, 10.0}) {
        if (std::abs(candidate - mantissa) < std::abs(best - mantissa))
            best = candidate;
    }
    const double step = best * magnitude;
    constexpr double Slack = 1e-9; // an end on a tick stays there despite rounding noise
    return QCPRange(std::floor(lower / step + Slack) * step, std::ceil(upper / step - Slack) * step);
}
