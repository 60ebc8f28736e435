#include "sim/VirtualPump.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QMutexLocker>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

namespace {

constexpr int StoredSlots = 15;
constexpr int FullStrokeN1 = 24000;  // increments per stroke in N1 mode
constexpr int FullStrokeN0 = 3000;   // and in N0 mode
constexpr double HalfStepsPerStroke = 6000;
constexpr int MaxTopSpeed = 6000;    // half-steps per second
// The fastest, so that the short moves that read back the stored serial
// number end quickly.
constexpr int DefaultTopSpeed = 6000;
constexpr double ValveTurnMS = 250;
constexpr int MinWaitMS = 5;
constexpr int MaxWaitMS = 30000;
constexpr int DefaultInitDurationMS = 3000;
constexpr int MaxExpansionDepth = 4;
// A loop of steps that take no time would never end; after this many such
// steps in a row the pump treats them as taking a millisecond.
constexpr int MaxTimelessSteps = 100000;
// Steps simulated per request at most; beyond, the simulation skips ahead.
constexpr int MaxStepsPerAdvance = 1000000;

constexpr char IdentificationData[] = "255";

enum ErrorCode : quint8 {
    NoError = 0,
    InvalidCommand = 2,   // b
    InvalidOperand = 3,   // c
    NotInitialized = 7,   // g
    SyringeOverload = 9,  // i
    CommandOverflow = 15, // o
};

// 'a' ... 'o' (either case) to its code; 0 to none.
quint8 ErrorCodeOf(char errorLetter)
{
    return errorLetter == 0 ? quint8(NoError) : quint8(((errorLetter | 0x20) - 'a' + 1) & 0x0F);
}

struct Token {
    char op = 0;
    std::optional<int> arg;
};
using Program = std::vector<Token>;

struct Loop {
    size_t start = 0;
    int remaining = 0; // further passes; Forever for G0
    bool counted = false;
};
constexpr int Forever = -1;

bool TakesOperand(char op)
{
    return op == 'A' || op == 'P' || op == 'D' || op == 'V' || op == 'M' || op == 'e' || op == 'S' || op == 'L';
}

bool IsKnownAction(char op)
{
    return op != 0 && std::strchr("ZYWAPDIOBEVSLMNgGeR", op) != nullptr;
}

bool IsMove(char op)
{
    return op == 'A' || op == 'P' || op == 'D';
}

bool IsInitialisation(char op)
{
    return op == 'Z' || op == 'Y' || op == 'W';
}

// Letters with optional decimal operands: "gIV6000A24000OG" -> g I V6000 A24000 O G.
std::optional<Program> Tokenize(const QByteArray& text, ErrorCode& error)
{
    Program program;
    for (qsizetype i = 0; i < text.size();) {
        Token token;
        token.op = text.at(i++);
        if (!IsKnownAction(token.op)) {
            error = InvalidCommand;
            return std::nullopt;
        }
        qsizetype end = i;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text.at(end))))
            ++end;
        if (end > i) {
            bool ok = false;
            token.arg = text.mid(i, end - i).toInt(&ok);
            if (!ok) {
                error = InvalidOperand;
                return std::nullopt;
            }
        }
        i = end;
        if (TakesOperand(token.op) && !token.arg) {
            error = InvalidOperand;
            return std::nullopt;
        }
        program.push_back(token);
    }
    return program;
}

bool OperandInRange(const Token& t)
{
    const int v = t.arg.value_or(0);
    switch (t.op) {
    case 'A': case 'P': case 'D': return v <= FullStrokeN1;
    case 'V': return v >= 1 && v <= MaxTopSpeed;
    case 'M': return v >= MinWaitMS && v <= MaxWaitMS;
    case 'e': return v < StoredSlots;
    case 'N': return v <= 1;
    default: return true;
    }
}

} // namespace

struct VirtualPump::Private {
    mutable QMutex mutex;
    QElapsedTimer clock;

    int initDurationMS = DefaultInitDurationMS;
    quint8 readyByte = ReadyStatusByte;
    quint8 pumpError = NoError;
    bool staysBusy = false;
    // Reported from an overload until the next action is accepted.
    quint8 haltError = NoError;
    // Carried by the reply to "T".
    quint8 stopError = NoError;

    bool initialized = false;
    int position = 0;
    int topSpeed = DefaultTopSpeed;
    int resolution = 1; // N1
    char valve = 'I';
    std::array<QByteArray, StoredSlots> stored;
    Program pending; // collected actions, run by R

    // The command string running now.
    Program program;
    size_t pc = 0;
    std::vector<Loop> loops;
    bool running = false;
    bool initialising = false; // the current step is an initialisation
    double stepEndMS = 0;

    double NowMS() const { return clock.nsecsElapsed() / 1e6; }
    int FullStroke() const { return resolution == 1 ? FullStrokeN1 : FullStrokeN0; }

    double MoveMS(int from, int to) const
    {
        const double halfSteps = std::abs(to - from) * HalfStepsPerStroke / FullStroke();
        return halfSteps / topSpeed * 1000.0;
    }

    // Starts one step; returns its duration (0 for steps that take no time).
    double Execute(const Token& t)
    {
        const int v = t.arg.value_or(0);
        switch (t.op) {
        case 'Z': case 'Y': case 'W':
            position = 0;
            topSpeed = DefaultTopSpeed;
            if (initDurationMS <= 0) {
                initialized = true;
                return 0;
            }
            initialising = true;
            return initDurationMS;
        case 'A': case 'P': case 'D': {
            int target = t.op == 'A' ? v : t.op == 'P' ? position + v : position - v;
            target = std::clamp(target, 0, FullStroke());
            const double ms = MoveMS(position, target);
            position = target;
            return ms;
        }
        case 'I': case 'O': case 'B': case 'E':
            if (valve == t.op)
                return 0;
            valve = t.op;
            return ValveTurnMS;
        case 'V': topSpeed = v; return 0;
        case 'N': resolution = v; return 0;
        case 'M': return v;
        default: return 0; // S, L, R: no time of their own
        }
    }

    // Ends the step that has run out and moves to the next one that takes
    // time; false when the string is done.
    bool StartNextStep()
    {
        FinishStep();
        int timeless = 0;
        while (pc < program.size()) {
            const Token& t = program[pc];
            if (t.op == 'g') {
                loops.push_back({pc + 1, 0, false});
                ++pc;
            } else if (t.op == 'G') {
                if (loops.empty()) {
                    ++pc;
                } else {
                    Loop& loop = loops.back();
                    if (!loop.counted) {
                        const int passes = t.arg.value_or(0);
                        loop.remaining = passes == 0 ? Forever : passes - 1;
                        loop.counted = true;
                    }
                    if (loop.remaining == 0) {
                        loops.pop_back();
                        ++pc;
                    } else {
                        if (loop.remaining != Forever)
                            --loop.remaining;
                        pc = loop.start;
                    }
                }
            } else {
                const double ms = Execute(t);
                ++pc;
                if (ms > 0) {
                    stepEndMS += ms;
                    return true;
                }
            }
            if (++timeless > MaxTimelessSteps) {
                stepEndMS += 1;
                return true;
            }
        }
        return false;
    }

    void FinishStep()
    {
        if (initialising) {
            initialising = false;
            initialized = true;
        }
    }

    void Advance()
    {
        const double now = NowMS();
        int steps = 0;
        while (running && stepEndMS <= now) {
            running = StartNextStep();
            if (++steps > MaxStepsPerAdvance) {
                stepEndMS = now;
                break;
            }
        }
    }

    void StopRunning()
    {
        running = false;
        initialising = false;
        loops.clear();
        program.clear();
    }

    bool Busy() const { return staysBusy || running; }

    // Replaces "e n" by stored string n.
    bool Expand(const Program& in, Program& out, ErrorCode& error, int depth) const
    {
        for (const Token& t : in) {
            if (t.op != 'e') {
                out.push_back(t);
                continue;
            }
            if (depth >= MaxExpansionDepth) {
                error = InvalidCommand;
                return false;
            }
            const auto storedProgram = Tokenize(stored[size_t(t.arg.value_or(0))], error);
            if (!storedProgram || !Expand(*storedProgram, out, error, depth + 1))
                return false;
        }
        return true;
    }

    ErrorCode Run(const Program& actions)
    {
        ErrorCode error = NoError;
        Program expanded;
        if (!Expand(actions, expanded, error, 0))
            return error;
        if (!initialized) {
            for (const Token& t : expanded) {
                if (IsInitialisation(t.op))
                    break;
                if (IsMove(t.op))
                    return NotInitialized;
            }
        }
        program = std::move(expanded);
        pc = 0;
        loops.clear();
        stepEndMS = NowMS();
        running = StartNextStep();
        return NoError;
    }

    // An action string: collected, and run when it ends with R.
    ErrorCode Act(const QByteArray& text)
    {
        ErrorCode error = NoError;
        const auto actions = Tokenize(text, error);
        if (!actions)
            return error;
        if (!std::all_of(actions->begin(), actions->end(), OperandInRange))
            return InvalidOperand;
        for (const Token& t : *actions) {
            if (t.op != 'R') {
                pending.push_back(t);
                continue;
            }
            Program toRun;
            toRun.swap(pending);
            if (!toRun.empty())
                error = Run(toRun);
            break; // what follows R is not collected
        }
        return error;
    }

    // "s n <actions>": keeps the actions (without the final R) in slot n.
    ErrorCode Store(const QByteArray& text)
    {
        qsizetype i = 1;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text.at(i))))
            ++i;
        bool ok = false;
        const int slot = text.mid(1, i - 1).toInt(&ok);
        if (!ok || slot >= StoredSlots)
            return InvalidOperand;
        QByteArray actions = text.mid(i);
        if (actions.endsWith('R'))
            actions.chop(1);
        ErrorCode error = NoError;
        if (!Tokenize(actions, error))
            return error;
        stored[size_t(slot)] = actions;
        return NoError;
    }

    // "V n" (with or without R) is the one action taken while busy.
    ErrorCode ChangeSpeedOnTheFly(const QByteArray& text)
    {
        ErrorCode error = NoError;
        const auto tokens = Tokenize(text, error);
        if (!tokens)
            return error;
        for (const Token& t : *tokens) {
            if (t.op != 'V' && t.op != 'R')
                return CommandOverflow;
            if (!OperandInRange(t))
                return InvalidOperand;
        }
        for (const Token& t : *tokens) {
            if (t.op == 'V')
                topSpeed = *t.arg;
        }
        return NoError;
    }

    QByteArray Query(const QByteArray& text) const
    {
        if (text == "?22")
            return IdentificationData;
        if (text == "?2")
            return QByteArray::number(topSpeed);
        return QByteArray::number(position); // "?", "?4"
    }

    quint8 StatusByte(quint8 error) const
    {
        if (error == NoError)
            error = haltError;
        if (pumpError != NoError)
            error = pumpError;
        const bool busy = Busy();
        if (!busy && error == NoError)
            return readyByte;
        return quint8(0x40 | (busy ? 0 : 0x20) | error);
    }

    QByteArray Answer(const QByteArray& command)
    {
        Advance();
        QByteArray data;
        ErrorCode error = NoError;
        const char first = command.isEmpty() ? 'Q' : command.at(0);
        if (first == '?') {
            data = Query(command);
        } else if (first == 'Q') {
            // status only
        } else if (first == 'T') {
            if (!staysBusy) {
                StopRunning();
                pending.clear();
            }
            error = ErrorCode(stopError);
        } else if (first == 'V' && Busy()) {
            error = ChangeSpeedOnTheFly(command);
        } else if (Busy()) {
            error = CommandOverflow;
        } else if (first == 's') {
            error = Store(command);
        } else {
            error = Act(command);
            if (error == NoError)
                haltError = NoError;
        }
        return QByteArray("/0") + char(StatusByte(error)) + data + "\x03\r\n";
    }
};

VirtualPump::VirtualPump(const QString& serial)
    : VirtualLine(BaudRate), p(std::make_unique<Private>())
{
    p->clock.start();
    const QByteArray digits = serial.toLatin1();
    p->stored[12] = "A" + digits.left(4);
    p->stored[13] = "A" + digits.mid(4, 4);
}

VirtualPump::~VirtualPump()
{
    Stop();
}

void VirtualPump::SetInitDurationMS(int ms)
{
    QMutexLocker lock(&p->mutex);
    p->initDurationMS = ms;
}

void VirtualPump::SetReadyByte(quint8 byte)
{
    QMutexLocker lock(&p->mutex);
    p->readyByte = byte;
}

void VirtualPump::SetPumpError(char errorLetter)
{
    QMutexLocker lock(&p->mutex);
    p->pumpError = ErrorCodeOf(errorLetter);
}

void VirtualPump::Overload()
{
    QMutexLocker lock(&p->mutex);
    p->Advance();
    p->StopRunning();
    p->pending.clear();
    p->haltError = SyringeOverload;
}

void VirtualPump::SetStopError(char errorLetter)
{
    QMutexLocker lock(&p->mutex);
    p->stopError = ErrorCodeOf(errorLetter);
}

void VirtualPump::SetStaysBusy(bool staysBusy)
{
    QMutexLocker lock(&p->mutex);
    p->staysBusy = staysBusy;
}

bool VirtualPump::IsBusy() const
{
    QMutexLocker lock(&p->mutex);
    p->Advance();
    return p->Busy();
}

bool VirtualPump::IsInitialized() const
{
    QMutexLocker lock(&p->mutex);
    p->Advance();
    return p->initialized;
}

int VirtualPump::Position() const
{
    QMutexLocker lock(&p->mutex);
    p->Advance();
    return p->position;
}

int VirtualPump::TopSpeed() const
{
    QMutexLocker lock(&p->mutex);
    return p->topSpeed;
}

QString VirtualPump::StoredString(int slot) const
{
    QMutexLocker lock(&p->mutex);
    return slot >= 0 && slot < StoredSlots ? QString::fromLatin1(p->stored[size_t(slot)]) : QString();
}

void VirtualPump::OnRequest(const QByteArray& line)
{
    // "/1" addresses this pump; other addresses share the line and get no answer.
    if (!line.startsWith("/1"))
        return;
    QByteArray answer;
    {
        QMutexLocker lock(&p->mutex);
        answer = p->Answer(line.mid(2));
    }
    Reply(answer);
}
