#pragma once

#include <QList>
#include <QString>

#include <memory>
#include <vector>

class VirtualLine;
struct SimOptions;

// A set of virtual instruments served together, each registered under its
// own COM-style name. Stopping (or destroying) the rig stops every instrument
// and removes its name.
class VirtualRig {
public:
    struct Served {
        QString portName;
        QString kind;
        QString serial;
        QString devicePath;
    };

    VirtualRig();
    ~VirtualRig();
    VirtualRig(const VirtualRig&) = delete;
    VirtualRig& operator=(const VirtualRig&) = delete;

    // Starts and registers the instruments in order. On the first failure it
    // stops those already started and gives the reason in `error`.
    bool Start(const SimOptions& options, QString& error);
    void Stop();

    QList<Served> Instruments() const { return served; }

private:
    std::vector<std::unique_ptr<VirtualLine>> lines;
    QList<Served> served;
};
