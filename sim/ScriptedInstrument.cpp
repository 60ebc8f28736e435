#include "ScriptedInstrument.h"

ScriptedInstrument::ScriptedInstrument(qint32 instrumentBaudRate)
    : VirtualLine(instrumentBaudRate)
{
}

ScriptedInstrument::~ScriptedInstrument()
{
    Stop();
}

void ScriptedInstrument::SetReply(const QByteArray& request, const QByteArray& reply)
{
    std::lock_guard lock(mutex);
    replies.insert(request, reply);
}

void ScriptedInstrument::QueueReply(const QByteArray& request, const QByteArray& reply)
{
    std::lock_guard lock(mutex);
    queued[request].push_back(reply);
}

void ScriptedInstrument::SetDefaultReply(const QByteArray& reply)
{
    std::lock_guard lock(mutex);
    defaultReply = reply;
}

int ScriptedInstrument::RequestCount() const
{
    std::lock_guard lock(mutex);
    return requestCount;
}

void ScriptedInstrument::OnRequest(const QByteArray& line)
{
    QByteArray reply;
    {
        std::lock_guard lock(mutex);
        ++requestCount;
        const auto pending = queued.find(line);
        if (pending != queued.end() && !pending->empty()) {
            reply = pending->front();
            pending->pop_front();
        } else {
            reply = replies.value(line, defaultReply);
        }
    }
    if (!reply.isEmpty())
        Reply(reply);
}
