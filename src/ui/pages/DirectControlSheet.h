#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class TRtDoubleEdit;
struct TDeviceInfo;

// The Direct control page: the focused device's maximum flow and a setpoint
// in % with its result in the device's unit; "Apply setpoint" and "Stop flow
// & stop tracking device" come out as signals.
class TDirectControlSheet : public QWidget {
    Q_OBJECT
public:
    explicit TDirectControlSheet(QWidget* parent = nullptr);

    // The device's last setpoint from this page.
    void ShowDevice(const TDeviceInfo& device);
    void ShowMaxFlow(double maxFlow, const QString& unitName);
    void ShowResultingFlow(const QString& text);
    double DesiredFlow() const;

signals:
    void ApplyClicked();
    void StopClicked();
    void DesiredFlowChanged(double percent);

private:
    TRtDoubleEdit* RtDoubleEditDirectControlMaxFlow = nullptr;
    QLabel* LabelDirectControlMaxFlowUnit = nullptr;
    TRtDoubleEdit* RtDoubleEditDirectControlDesiredFlow = nullptr;
    QLabel* LabelDirectControlResultingFlow = nullptr;
    QPushButton* BitBtn7 = nullptr;
    QPushButton* BitBtn8 = nullptr;
};
