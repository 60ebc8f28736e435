#pragma once

#include <QColor>
#include <QList>
#include <QObject>
#include <QPointF>
#include <QVector>

#include <functional>

class QCPGraph;
class QCPGraphData;
class QCPRange;
class TRtGraph2D;

enum class TRtPointSymbol { Circle, Square, Star, Delta, Diamond };

// A series of points on the chart's time and flow axes. It keeps the points
// once, as given (X in stored units, Y to float precision), and draws X
// through its X-value transformation, so a change of display unit only needs
// Invalidate(). Points are drawn in key order; points with equal X keep
// their order. A series with more points in view than the chart has pixels
// is drawn through each pixel column's first, lowest, highest and last
// point: the curve looks the same, and its cost follows the chart's width,
// not the length of the run.
class TRtPointSeries : public QObject {
    Q_OBJECT
public:
    using XValueTransformation = std::function<double(double)>;

    // Owned by the chart.
    explicit TRtPointSeries(TRtGraph2D* graph);
    ~TRtPointSeries() override;

    QColor LineColor() const;
    void SetLineColor(const QColor& color);
    double LineWidth() const;
    void SetLineWidth(double width);

    bool PointsVisible() const { return pointsVisible; }
    void SetPointsVisible(bool visible);
    double PointSize() const { return pointSize; }
    void SetPointSize(double size);
    double PointBorderWidth() const { return pointBorderWidth; }
    void SetPointBorderWidth(double width);
    QColor PointBorderColor() const { return pointBorderColor; }
    void SetPointBorderColor(const QColor& color);
    QColor PointFillColor() const { return pointFillColor; }
    void SetPointFillColor(const QColor& color);
    TRtPointSymbol PointSymbol() const { return pointSymbol; }
    void SetPointSymbol(TRtPointSymbol symbol);

    bool Visible() const;
    void SetVisible(bool visible);

    void SetXValueTransformation(XValueTransformation transformation);

    const QVector<double>& XValues() const { return xValues; }
    QVector<double> YValues() const;
    // The drawn extent of the points; false when there are none.
    bool Bounds(QCPRange& keys, QCPRange& values) const;
    void Append(double x, double y);
    void SetPoints(const QList<QPointF>& points);
    void Clear();
    // Draws the stored points again through the transformation.
    void Invalidate();

    // Hands the chart the points to draw for its current view; called
    // before each replot.
    void PrepareDrawing();

    QCPGraph* Plottable() const { return plottable; }

private:
    double DrawnX(double x) const { return transformation ? transformation(x) : x; }
    void ApplyPointStyle();
    void DataChanged();
    void Summarize(qsizetype from);
    qsizetype FirstDrawnAtOrAfter(double drawnX, qsizetype from, qsizetype to) const;
    void AppendEnvelope(QVector<QCPGraphData>& drawn, qsizetype from, qsizetype to) const;
    // Markers of a dense series would pile up into a solid band: only every
    // so many are drawn, so that they stand at least their size apart.
    void SpaceMarkers();

    TRtGraph2D* graph;
    QCPGraph* plottable;
    QVector<double> xValues;
    QVector<float> yValues;
    // Per block of points: where its lowest and highest value are.
    QVector<qint32> blockMin;
    QVector<qint32> blockMax;
    float lowest = 0;
    float highest = 0;
    bool drawnCurrent = false;
    double drawnLower = 0;
    double drawnUpper = 0;
    int drawnPixels = 0;
    XValueTransformation transformation;
    bool pointsVisible = false;
    double pointSize = 6;
    double pointBorderWidth = 1;
    QColor pointBorderColor = Qt::black;
    QColor pointFillColor = Qt::white;
    TRtPointSymbol pointSymbol = TRtPointSymbol::Circle;
};
