#pragma once

#include "serial/SerialPort.h"
#include "sim/ScriptedInstrument.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>

// A throwaway port folder and helpers to put scripted instruments on it.
class LineFixture : public ::testing::Test {
protected:
    static constexpr qint32 MfcBaudRate = 19200;
    static constexpr qint32 PumpBaudRate = 9600;

    // A started instrument registered under `name`.
    std::unique_ptr<ScriptedInstrument> StartInstrument(const QString& name, qint32 baudRate = MfcBaudRate)
    {
        auto instrument = std::make_unique<ScriptedInstrument>(baudRate);
        EXPECT_TRUE(instrument->Start());
        EXPECT_TRUE(instrument->Register(name));
        return instrument;
    }

    // A port with short pauses: the virtual instruments answer within a few
    // milliseconds, and the long readout time-out only matters when a loaded
    // machine (or a sanitizer) slows them down.
    static TSerialPort FastPort(const QString& name, qint32 baudRate = MfcBaudRate, quint32 readoutMS = 3000)
    {
        TSerialPort port;
        port.SetPort(name);
        port.SetBaudRate(baudRate);
        port.SetWindowsReadLoopTimeoutMS(10);
        port.SetReadoutTimeoutMS(readoutMS);
        return port;
    }

    TempFolder folder;
};
