#pragma once

#include <functional>

class QThread;

// Waiting on the main thread must never block it outright: worker threads hand
// their data over with blocking calls onto the main thread, so a main thread
// stuck in QThread::wait() would deadlock with them. These waits process
// pending events in short slices instead.

// Waits until `done` returns true or `timeoutMS` has passed; true when done.
bool WaitProcessingEvents(const std::function<bool()>& done, int timeoutMS);

// Asks the thread to end (interruption request) and waits until it has,
// processing events meanwhile. Returns at once for a thread that never started.
void StopThreadProcessingEvents(QThread& thread);
