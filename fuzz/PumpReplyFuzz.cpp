// An instrument's reply decoded as a pump reply: only "/0" and a status
// character are decoded; anything else keeps the pump's state and counts as
// a failed exchange.
#include "base/TextEncoding.h"
#include "base/TextHelpers.h"
#include "pump/PSD4.h"
#include "serial/SerialPort.h"

#include <QByteArray>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TSerialResponse reply;
    reply.Response = TrimControl(DecodeCp1252(bytes));
    TPSD4 pump;
    pump.SetStatus(reply);
    const bool pumpReply = reply.Response.size() >= 3 && reply.Response.startsWith(QLatin1String("/0"));
    if (pump.LastReplyGood() != pumpReply)
        std::abort();
    if (!pumpReply && (pump.State() != ps_Undefined || pump.Busy()))
        std::abort();
    if (pump.State() < ps_Undefined || pump.State() > ps_Pump_is_busy__Occurs_when_the_command_buffer_is_full)
        std::abort();
    if (pump.StatusAsString().isEmpty())
        std::abort();
    return 0;
}
