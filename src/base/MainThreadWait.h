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

// Runs `work` on a thread of its own and waits for it to end, processing
// events meanwhile: the window stays painted and the work's calls onto the
// main thread go through. An exception of the work is raised again here.
void RunOffMainThread(const std::function<void()>& work);

// From any thread: runs `call` on the main thread and waits for it; runs it
// directly when already there.
void RunOnMainThread(const std::function<void()>& call);
