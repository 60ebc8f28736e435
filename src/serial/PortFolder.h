#pragma once

#include <QString>
#include <QStringList>

// The virtual port folder: a directory of symbolic links named like COM ports
// (COM6, COM7, ...) that point at the pseudo-terminals of virtual instruments.
// It is $TARVO_PORT_DIR when set, else $XDG_RUNTIME_DIR/tarvo/ports, else
// tarvo/ports in the system's temporary folder.
QString PortFolderPath();

// A port name fit for the folder: one plain file name (letters, digits, "_",
// "-" and "."), not "." or "..".
bool IsValidPortName(const QString& name);

// Registers `devicePath` under `name`. Refused for an invalid name and for a
// name whose link still leads to an existing device; a dangling link of that
// name is replaced.
bool RegisterVirtualPort(const QString& name, const QString& devicePath);
// Removes the registration of `name`, but only while it still points at
// `devicePath`, so a line never removes a name another line took over since.
void UnregisterVirtualPort(const QString& name, const QString& devicePath);

// Registered names whose device still exists, in directory order.
QStringList VirtualPortNames();

// The device to open for a port name: a registered virtual name gives its
// link target, a port of the machine its system location; anything else is
// returned as given.
QString ResolvePortName(const QString& name);
