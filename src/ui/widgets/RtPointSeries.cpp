#include "ui/widgets/RtPointSeries.h"

#include "ui/widgets/RtGraph2D.h"

#include <algorithm>
#include <cmath>

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

// Points per summary block: the block's lowest and highest stand for it
// when a pixel column spans it whole.
constexpr qsizetype SummaryBlock = 64;
// A pixel column draws at most its first, lowest, highest and last point.
constexpr qsizetype PointsPerPixelColumn = 4;

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

QVector<double> TRtPointSeries::YValues() const
{
    return QVector<double>(yValues.cbegin(), yValues.cend());
}

bool TRtPointSeries::Bounds(QCPRange& keys, QCPRange& values) const
{
    if (xValues.isEmpty())
        return false;
    keys = QCPRange(DrawnX(xValues.first()), DrawnX(xValues.last()));
    values = QCPRange(lowest, highest);
    return true;
}

void TRtPointSeries::Append(double x, double y)
{
    if (!xValues.isEmpty() && x < xValues.last()) {
        // Out of order: placed after the points at its X, as drawn.
        const qsizetype at = std::upper_bound(xValues.cbegin(), xValues.cend(), x) - xValues.cbegin();
        xValues.insert(at, x);
        yValues.insert(at, float(y));
        Summarize(at);
    } else {
        xValues.append(x);
        yValues.append(float(y));
        Summarize(xValues.size() - 1);
    }
    DataChanged();
}

void TRtPointSeries::SetPoints(const QList<QPointF>& points)
{
    QList<QPointF> sorted = points;
    // A vertical step has two points at one X; their order must survive.
    std::stable_sort(sorted.begin(), sorted.end(), [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
    xValues.clear();
    yValues.clear();
    xValues.reserve(sorted.size());
    yValues.reserve(sorted.size());
    for (const QPointF& point : sorted) {
        xValues.append(point.x());
        yValues.append(float(point.y()));
    }
    Summarize(0);
    DataChanged();
}

void TRtPointSeries::Clear()
{
    xValues.clear();
    yValues.clear();
    Summarize(0);
    plottable->data()->clear();
    DataChanged();
}

void TRtPointSeries::Invalidate()
{
    DataChanged();
}

void TRtPointSeries::DataChanged()
{
    drawnCurrent = false;
    graph->ScheduleReplot(true);
}

void TRtPointSeries::Summarize(qsizetype from)
{
    const qsizetype count = xValues.size();
    const qsizetype blocks = (count + SummaryBlock - 1) / SummaryBlock;
    qsizetype block = std::min(from / SummaryBlock, blocks);
    blockMin.resize(blocks);
    blockMax.resize(blocks);
    for (; block < blocks; ++block) {
        const qsizetype first = block * SummaryBlock;
        const qsizetype end = std::min(first + SummaryBlock, count);
        qint32 low = qint32(first);
        qint32 high = qint32(first);
        for (qsizetype i = first + 1; i < end; ++i) {
            if (yValues.at(i) < yValues.at(low))
                low = qint32(i);
            if (yValues.at(i) > yValues.at(high))
                high = qint32(i);
        }
        blockMin[block] = low;
        blockMax[block] = high;
    }
    if (from == 0) {
        lowest = highest = count > 0 ? yValues.first() : 0;
        for (qsizetype b = 0; b < blocks; ++b) {
            lowest = std::min(lowest, yValues.at(blockMin.at(b)));
            highest = std::max(highest, yValues.at(blockMax.at(b)));
        }
    } else {
        for (qsizetype i = from; i < count; ++i) {
            lowest = std::min(lowest, yValues.at(i));
            highest = std::max(highest, yValues.at(i));
        }
    }
}

qsizetype TRtPointSeries::FirstDrawnAtOrAfter(double drawnX, qsizetype from, qsizetype to) const
{
    // The transformation keeps the order of X: a binary search holds.
    const auto begin = xValues.cbegin();
    return std::partition_point(begin + from, begin + to, [&](double x) { return DrawnX(x) < drawnX; }) - begin;
}

void TRtPointSeries::AppendEnvelope(QVector<QCPGraphData>& drawn, qsizetype from, qsizetype to) const
{
    qsizetype low = from;
    qsizetype high = from;
    const auto consider = [&](qsizetype i) {
        if (yValues.at(i) < yValues.at(low))
            low = i;
        if (yValues.at(i) > yValues.at(high))
            high = i;
    };
    qsizetype i = from;
    for (; i < to && i % SummaryBlock != 0; ++i)
        consider(i);
    for (; i + SummaryBlock <= to; i += SummaryBlock) {
        consider(blockMin.at(i / SummaryBlock));
        consider(blockMax.at(i / SummaryBlock));
    }
    for (; i < to; ++i)
        consider(i);
    // In their order along the series, each point once.
    qsizetype picks[] = {from, std::min(low, high), std::max(low, high), to - 1};
    qsizetype last = -1;
    for (qsizetype pick : picks) {
        if (pick == last)
            continue;
        drawn.append(QCPGraphData(DrawnX(xValues.at(pick)), yValues.at(pick)));
        last = pick;
    }
}

void TRtPointSeries::PrepareDrawing()
{
    const QCPRange shown = plottable->keyAxis()->range();
    const int pixels = plottable->keyAxis()->axisRect()->width();
    if (!drawnCurrent || shown.lower != drawnLower || shown.upper != drawnUpper || pixels != drawnPixels) {
        const qsizetype count = xValues.size();
        // One point beyond each end, so that the line runs to the edges.
        const qsizetype begin = std::max<qsizetype>(FirstDrawnAtOrAfter(shown.lower, 0, count) - 1, 0);
        qsizetype end = FirstDrawnAtOrAfter(shown.upper, begin, count);
        end = std::min(end + 1, count);
        QVector<QCPGraphData> drawn;
        if (pixels <= 0 || end - begin <= PointsPerPixelColumn * qsizetype(pixels)) {
            drawn.reserve(end - begin);
            for (qsizetype i = begin; i < end; ++i)
                drawn.append(QCPGraphData(DrawnX(xValues.at(i)), yValues.at(i)));
        } else {
            drawn.reserve(PointsPerPixelColumn * (pixels + 2));
            const double columnWidth = shown.size() / pixels;
            for (qsizetype i = begin; i < end;) {
                const double column = std::floor((DrawnX(xValues.at(i)) - shown.lower) / columnWidth);
                const qsizetype next = std::max(FirstDrawnAtOrAfter(shown.lower + (column + 1) * columnWidth, i, end), i + 1);
                AppendEnvelope(drawn, i, next);
                i = next;
            }
        }
        plottable->data()->set(drawn, true);
        drawnCurrent = true;
        drawnLower = shown.lower;
        drawnUpper = shown.upper;
        drawnPixels = pixels;
    }
    SpaceMarkers();
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
