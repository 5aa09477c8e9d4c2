#include "framework/thread.h"

#include <process.h>

WorkerThread::~WorkerThread() { Join(); }

bool WorkerThread::Start(std::function<void()> work) {
    Join();
    work_ = std::move(work);
    // _beginthreadex rather than CreateThread: the thread uses the C runtime.
    const uintptr_t handle = _beginthreadex(nullptr, 0, &WorkerThread::Run, this, 0, nullptr);
    handle_ = reinterpret_cast<HANDLE>(handle);
    return handle_ != nullptr;
}

void WorkerThread::Join() {
    if (handle_ == nullptr) return;
    WaitForSingleObject(handle_, INFINITE);
    CloseHandle(handle_);
    handle_ = nullptr;
}

unsigned __stdcall WorkerThread::Run(void* self) {
    static_cast<WorkerThread*>(self)->work_();
    return 0;
}
