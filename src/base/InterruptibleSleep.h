#pragma once

// Sleeps `ms` milliseconds on the calling thread, but returns early once that
// thread is asked to end (QThread::requestInterruption), so that destroying a
// worker is not held up by its pauses. On the main thread it is a plain sleep.
void InterruptibleSleepMS(int ms);
