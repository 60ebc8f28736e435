#pragma once

#include <qcustomplot.h>

#include <QList>
#include <QTimer>

class QScrollBar;

// One axis of the chart: its caption and its ends.
class TRtAxis {
public:
    explicit TRtAxis(QCPAxis* axis) : axis(axis) {}

    QString Caption() const { return axis->label(); }
    void SetCaption(const QString& caption);
    double Start() const { return axis->range().lower; }
    double Stop() const { return axis->range().upper; }
    void SetStop(double stop);
    void SetRange(double start, double stop);

private:
    QCPAxis* axis;
};

// The chart: a time axis at the bottom and a flow axis on the right, both
// following the data. The operator zooms by dragging a rectangle (earlier
// views form a stack), steps back by clicking outside the axes, returns to
// the full view by double-clicking outside them and pans with Shift-drag;
// scroll bars show while zoomed.
class TRtGraph2D : public QCustomPlot {
    Q_OBJECT
public:
    explicit TRtGraph2D(QWidget* parent = nullptr);
    ~TRtGraph2D() override;

    TRtAxis XAxis1() const { return TRtAxis(xAxis); }
    TRtAxis YAxis1() const { return TRtAxis(yAxis2); }
    QCPAxis* TimeAxis() const { return xAxis; }
    QCPAxis* FlowAxis() const { return yAxis2; }

    // Series call this when their data or look change; all changes until
    // control returns to the event loop share one replot.
    void ScheduleReplot(bool dataChanged);

    bool IsZoomed() const { return !zoomStack.isEmpty(); }
    void ZoomTo(const QCPRange& time, const QCPRange& flow);
    void ZoomBack();
    void ZoomFull();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct View {
        QCPRange time;
        QCPRange flow;
    };

    View CurrentView() const { return {xAxis->range(), yAxis2->range()}; }
    void SetView(const View& view);
    bool OutsideAxes(const QPoint& pos) const;
    void ZoomToRect(const QRect& rect);
    void ReplotNow();
    void FitToData();
    void PrepareSeries();
    void LayOutScrollBars();
    void SyncScrollBars();
    void ScrollTime(int value);
    void ScrollFlow(int value);

    QList<View> zoomStack;
    View scrollExtent; // what the scroll bars span: the full view and the current one
    QTimer replotTimer;
    bool dataChanged = false;
    bool syncingScrollBars = false;
    QScrollBar* timeScrollBar;
    QScrollBar* flowScrollBar;
};

// The range from `lower` to `upper` widened outwards to whole steps of a
// round tick spacing (1, 2, 2.5 or 5 times a power of ten, about five ticks).
QCPRange RoundedToTicks(double lower, double upper);
