#pragma once

#include "engine/FlowDesigner.h"

#include <QWidget>

#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QSlider;
class TContextHelp;
class TRtDoubleEdit;

// The Designer page: at a time of the programs, one slider and one flow
// field per selected device, and the mixture the devices would deliver
// together. Moving the time reads the programs into the controls; moving a
// slider or typing a flow changes only the design, never a device.
//
// A device's controls are named after its port ("TrackBarDesignerDynamic_"
// and "DoubleEditDynamic_" followed by the COM port); the handlers find them
// and their device by these names.
class TDesignerSheet : public QWidget {
    Q_OBJECT
public:
    // `selectedPorts` gives the selected rows of the device list, in order.
    TDesignerSheet(TContextHelp& help, std::function<QStringList()> selectedPorts, QWidget* parent = nullptr);

    void SetTimeCaption(const QString& caption);
    double DesignTime() const;
    QString Note() const;
    // The designed flow of every device group, in order.
    QList<TDesignedFlow> DesignedFlows() const;

    // Rebuilds the per-device controls for the selected devices, discarding
    // typed flows, and widens the time slider to the longest program.
    void MixMakerComponentSetup();
    // Reads every device's programmed flow at the designer time into its
    // controls, then shows the mixture.
    void RtDoubleEditDesignMixTimeValueChanged();
    // `Caller` names the trigger, for the trace.
    void ShowNewMix(const QString& Caller);

signals:
    // The designer time, in minutes, for the graph's highlight.
    void DesignTimeChanged(double minutes);
    void ApplyClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void TrackBarDesignerTimeChange();
    void RtDoubleEditDesignMixTimeKeyUp();
    void DesignerChange(QObject* Sender);
    void RtDoubleEditDynamicKeyUp(TRtDoubleEdit* Sender);
    void AddDeviceGroup(const TDeviceInfo& device);
    void FitFlowPanel();
    QSlider* DeviceSlider(const QString& port) const;
    TRtDoubleEdit* DeviceField(const QString& port) const;
    QList<QGroupBox*> DeviceGroups() const;

    TContextHelp& help;
    std::function<QStringList()> selectedPorts;

    QGroupBox* MixDesignGroupBox = nullptr;
    QSlider* TrackBarDesignerTime = nullptr;
    TRtDoubleEdit* RtDoubleEditDesignMixTime = nullptr;
    QScrollArea* ScrollBoxFlow = nullptr;
    QWidget* FlowPanelControls = nullptr;
    QPlainTextEdit* MemoMixDesigner = nullptr;
    QLineEdit* EditNoteDesigner = nullptr;
    QPushButton* BitBtnDesignerApply = nullptr;
};
