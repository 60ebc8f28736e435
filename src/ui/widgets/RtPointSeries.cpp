#include "ui/widgets/RtPointSeries.h"

#include "ui/widgets/RtGraph2D.h"

#include <algorithm>

namespace {

QCPScatterStyle::ScatterShape Shape(TRtPointSymbol symbol)
{
    switch (symbol) {
    case TRtPointSymbol::Circle: return QCPScatterStyle::ssCircle;
    case TRtPointSymbol::Square: return QCPScatterStyle::ssSquare;
    case TRtPointSymbol::Star: return QCPScatterStyle::ssStar;
    case TRtPointSymbol::Delta: return QCPScatterStyle::ssTriangle;
    case TRtPointSymbol::Diamond: return QCPScatterStyle::ssDiamond;
    }
    return QCPScatterStyle::ssCircle;
}

bool ByKey(const QCPGraphData& a, const QCPGraphData& b)
{
    return a.key < b.key;
}

} // namespace

TRtPointSeries::TRtPointSeries(TRtGraph2D* graph)
    : QObject(graph)
    , graph(graph)
    , plottable(graph->addGraph(graph->TimeAxis(), graph->FlowAxis()))
{
    plottable->setAdaptiveSampling(true);
    ApplyPointStyle();
}

TRtPointSeries::~TRtPointSeries()
{
    graph->removeGraph(plottable);
    graph->ScheduleReplot(true);
}

QColor TRtPointSeries::LineColor() const
{
    return plottable->pen().color();
}

void TRtPointSeries::SetLineColor(const QColor& color)
{
    QPen pen = plottable->pen();
    pen.setColor(color);
    plottable->setPen(pen);
    graph->ScheduleReplot(false);
}

double TRtPointSeries::LineWidth() const
{
    return plottable->pen().widthF();
}

void TRtPointSeries::SetLineWidth(double width)
{
    QPen pen = plottable->pen();
    pen.setWidthF(width);
    plottable->setPen(pen);
    graph->ScheduleReplot(false);
}

void TRtPointSeries::SetPointsVisible(bool visible)
{
    pointsVisible = visible;
    ApplyPointStyle();
}

void TRtPointSeries::SetPointSize(double size)
{
    pointSize = size;
    ApplyPointStyle();
}

void TRtPointSeries::SetPointBorderWidth(double width)
{
    pointBorderWidth = width;
    ApplyPointStyle();
}

void TRtPointSeries::SetPointBorderColor(const QColor& color)
{
    pointBorderColor = color;
    ApplyPointStyle();
}

void TRtPointSeries::SetPointFillColor(const QColor& color)
{
    pointFillColor = color;
    ApplyPointStyle();
}

void TRtPointSeries::SetPointSymbol(TRtPointSymbol symbol)
{
    pointSymbol = symbol;
    ApplyPointStyle();
}

void TRtPointSeries::ApplyPointStyle()
{
    if (pointsVisible)
        plottable->setScatterStyle(QCPScatterStyle(Shape(pointSymbol), QPen(pointBorderColor, pointBorderWidth),
                                                   QBrush(pointFillColor), pointSize));
    else
        plottable->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssNone));
    graph->ScheduleReplot(false);
}

bool TRtPointSeries::Visible() const
{
    return plottable->visible();
}

void TRtPointSeries::SetVisible(bool visible)
{
    plottable->setVisible(visible);
    graph->ScheduleReplot(true);
}

void TRtPointSeries::SetXValueTransformation(XValueTransformation newTransformation)
{
    transformation = std::move(newTransformation);
    Invalidate();
}

void TRtPointSeries::Append(double x, double y)
{
    xValues.append(x);
    yValues.append(y);
    // Appending in ascending X, as the engine does, costs no sorting.
    plottable->data()->add(QCPGraphData(DrawnX(x), y));
    graph->ScheduleReplot(true);
}

void TRtPointSeries::SetPoints(const QList<QPointF>& points)
{
    xValues.clear();
    yValues.clear();
    xValues.reserve(points.size());
    yValues.reserve(points.size());
    for (const QPointF& point : points) {
        xValues.append(point.x());
        yValues.append(point.y());
    }
    Invalidate();
}

void TRtPointSeries::Clear()
{
    xValues.clear();
    yValues.clear();
    plottable->data()->clear();
    graph->ScheduleReplot(true);
}

void TRtPointSeries::Invalidate()
{
    QVector<QCPGraphData> drawn;
    drawn.reserve(xValues.size());
    for (qsizetype i = 0; i < xValues.size(); ++i)
        drawn.append(QCPGraphData(DrawnX(xValues.at(i)), yValues.at(i)));
    // A vertical step has two points at one X; their order must survive.
    if (!std::is_sorted(drawn.begin(), drawn.end(), ByKey))
        std::stable_sort(drawn.begin(), drawn.end(), ByKey);
    plottable->data()->set(drawn, true);
    graph->ScheduleReplot(true);
}

void TRtPointSeries::SpaceMarkers()
{
    if (!pointsVisible)
        return;
    const QCPRange shown = plottable->keyAxis()->range();
    const auto& data = *plottable->data();
    const qsizetype inView = data.findEnd(shown.upper) - data.findBegin(shown.lower);
    const int pixels = plottable->keyAxis()->axisRect()->width();
    plottable->setScatterSkip(pixels > 0 ? int(inView * pointSize / pixels) : 0);
}
