#pragma once

#include <QWidget>

class QEvent;
class QLabel;
class QMenu;
class QMouseEvent;
class QPushButton;
class QTreeWidget;
class TRtDoubleEdit;
struct TDeviceInfo;

// The Design segments page: the focused device's maximum flow, a segment
// flow with its result in the device's unit, start and stop for the selected
// devices, and the focused device's segment program as a list whose context
// menu loads and saves program files.
class TSegmentSheet : public QWidget {
    Q_OBJECT
public:
    explicit TSegmentSheet(QWidget* parent = nullptr);

    // The device's name and role and its segment program.
    void ShowDevice(const TDeviceInfo& device);
    void ShowSegmentRows(const QString& program);
    void ShowMaxFlow(double maxFlow, const QString& unitName);
    void ShowResultingFlow(const QString& text);
    void SetTimeUnitSuffix(const QString& suffix);
    double SegmentFlow() const;

    void ListViewSegmentProgramMouseUp(QMouseEvent* event);

signals:
    void StartClicked();
    void StopClicked();
    void SegmentFlowChanged();
    void LoadProgramClicked();
    void SaveProgramClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildSegmentPopupMenu();

    QLabel* LabelSegmentStartTime = nullptr;
    QLabel* LabelSelectedDeviceNameRole = nullptr;
    TRtDoubleEdit* RtDoubleEditDevMaxFlow = nullptr;
    QLabel* LabelSpecifiedFlowUnit = nullptr;
    TRtDoubleEdit* RtDoubleEditSegmentFlow = nullptr;
    QLabel* LabelResultingFlowinSpecifiedUnit = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QTreeWidget* ListViewSegmentProgram = nullptr;
    QMenu* PopupMenuSegment = nullptr;
};
