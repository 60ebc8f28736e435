#include "engine/WriteAlarm.h"

#include "base/Clock.h"
#include "base/Prompts.h"

#include <QStringList>

TWriteAlarm::TWriteAlarm(Show show)
    : show(std::move(show))
{
}

void TWriteAlarm::Failed(TWriter writer, const QString& reason, double graceSeconds)
{
    TState& state = states[writer];
    if (!state.failing)
        state.since = MonotonicNow();
    state.failing = true;
    state.graceSeconds = graceSeconds;
    state.reason = reason;
    Update();
}

void TWriteAlarm::Succeeded(TWriter writer)
{
    if (!states[writer].failing)
        return;
    states[writer] = {};
    Update();
}

void TWriteAlarm::Update()
{
    // Moments are fractions of days: a millisecond of slack keeps a minute a minute.
    constexpr double SlackSeconds = 0.001;
    QStringList reasons;
    for (const TState& state : states) {
        if (state.failing && (MonotonicNow() - state.since) * SecondsPerDay + SlackSeconds >= state.graceSeconds)
            reasons << state.reason;
    }
    const bool raise = !reasons.isEmpty();
    const QString text = reasons.join(QLatin1Char('\n'));
    if (raise == raised && text == shownReasons)
        return;
    const bool newEpisode = raise && !raised;
    raised = raise;
    shownReasons = text;
    show(raised, shownReasons);
    if (newEpisode)
        ShowMessage(shownReasons);
}
