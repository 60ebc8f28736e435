#pragma once

#include "VirtualLine.h"

#include <QHash>

#include <deque>
#include <mutex>

// A virtual instrument that answers from a script, for fast driver tests:
// each request line gets the reply bytes set for it (terminators included,
// exactly as they go out), an unknown line the default reply. An empty reply
// is silence. Queued replies for a request go out first, one per request, in
// order; then the table answers again.
class ScriptedInstrument : public VirtualLine {
public:
    explicit ScriptedInstrument(qint32 instrumentBaudRate);
    ~ScriptedInstrument() override;

    void SetReply(const QByteArray& request, const QByteArray& reply);
    void QueueReply(const QByteArray& request, const QByteArray& reply);
    // Replies to lines the table does not know; silence until set.
    void SetDefaultReply(const QByteArray& reply);
    // Number of requests heard at the instrument's speed.
    int RequestCount() const;

protected:
    void OnRequest(const QByteArray& line) override;

private:
    mutable std::mutex mutex; // the script is changed by the test while the line serves it
    QHash<QByteArray, QByteArray> replies;
    QHash<QByteArray, std::deque<QByteArray>> queued;
    QByteArray defaultReply;
    int requestCount = 0;
};
