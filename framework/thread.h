// A worker thread owned by an object: it runs one function, and the owner
// waits for it to end when the owner goes.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <functional>

class WorkerThread {
public:
    WorkerThread() = default;
    // Waits for the thread to end, then closes its handle.
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Runs work on a new thread, at once. A thread started before is waited
    // for first. False when no thread could be started (work does not run).
    bool Start(std::function<void()> work);

    // Waits for a thread started before to end; at once when there is none.
    void Join();

private:
    static unsigned __stdcall Run(void* self);

    std::function<void()> work_;
    HANDLE handle_ = nullptr;
};
