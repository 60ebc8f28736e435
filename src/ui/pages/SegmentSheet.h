#pragma once

#include <QWidget>

#include "segments/SegmentProgram.h"

class QButtonGroup;
class QEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMouseEvent;
class QPushButton;
class QTreeWidget;
class TRtDoubleEdit;
class TSegmentDesignView;
struct TDeviceInfo;

// The Design segments page: the focused device's maximum flow, editors for
// one segment (start time, flow with its result in the device's unit, type,
// note), start and stop for the selected devices, and the focused device's
// segment program as a sorted list. "Add / Apply Segment" and "Delete
// segment" change the list and store it as the focused device's program; the
// list's context menu loads and saves program files.
class TSegmentSheet : public QWidget {
    Q_OBJECT
public:
    explicit TSegmentSheet(QWidget* parent = nullptr);

    // The device's name and role and its segment program.
    void ShowDevice(const TDeviceInfo& device);
    void ShowSegmentRows(const QString& program);
    void ShowMaxFlow(double maxFlow, const QString& unitName);
    void ShowResultingFlow(const QString& text);
    // The unit letter and minutes per unit the start time is shown in.
    void SetTimeUnit(const QString& suffix, double factor);
    double SegmentFlow() const;
    // The window that stores and shows the focused device (not owned).
    void SetDesignView(TSegmentDesignView* view) { designView = view; }
    TSegProgTermination Termination() const;

    void ListViewSegmentProgramMouseUp(QMouseEvent* event);
    void ListViewSegmentProgramChange();
    void ButtonSegmentTypeClick();
    void ButtonSegmentApplyClick();
    void ButtonSegmentDeleteClick();
    void RtDoubleEditSegmentTimeValueChanged();

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
    QGroupBox* BuildTerminationGroup();
    void ShowSegmentType(bool ramp);
    void ShowRows(const QList<TSegmentRow>& rows);
    QList<TSegmentRow> Rows() const;

    QLabel* LabelSegmentStartTime = nullptr;
    QLabel* LabelSelectedDeviceNameRole = nullptr;
    TRtDoubleEdit* RtDoubleEditDevMaxFlow = nullptr;
    QLabel* LabelSpecifiedFlowUnit = nullptr;
    TRtDoubleEdit* RtDoubleEditSegmentFlow = nullptr;
    QLabel* LabelResultingFlowinSpecifiedUnit = nullptr;
    TRtDoubleEdit* RtDoubleEditSegmentTime = nullptr;
    QLabel* LabelSegmentStartTimeTimeConversions = nullptr;
    QPushButton* BitBtn3 = nullptr;
    QLineEdit* EditNote = nullptr;
    QGroupBox* RadioGroupSegmentTerminationType = nullptr;
    QButtonGroup* terminationChoices = nullptr;
    QPushButton* BitBtn4 = nullptr;
    QPushButton* BitBtn5 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QTreeWidget* ListViewSegmentProgram = nullptr;
    QMenu* PopupMenuSegment = nullptr;

    TSegmentDesignView* designView = nullptr;
    double timeUnitFactor = 1;
};
