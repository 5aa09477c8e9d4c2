#include <process.h>

#include "framework/afx.h"

namespace {

struct ThreadStart {
    AFX_THREADPROC proc;
    LPVOID param;
    CWinThread* thread;
};

unsigned __stdcall RunThread(void* argument) {
    ThreadStart start = *static_cast<ThreadStart*>(argument);
    delete static_cast<ThreadStart*>(argument);
    const UINT result = start.proc(start.param);
    CloseHandle(start.thread->m_hThread);
    delete start.thread;
    return result;
}

}  // namespace

CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority, UINT stackSize, DWORD createFlags,
                           LPSECURITY_ATTRIBUTES security) {
    auto* thread = new CWinThread();
    auto* start = new ThreadStart{proc, param, thread};
    unsigned id = 0;
    // Created suspended so that the object is complete before the thread can
    // end and delete it.
    const uintptr_t handle =
        _beginthreadex(security, stackSize, RunThread, start, createFlags | CREATE_SUSPENDED, &id);
    if (handle == 0) {
        delete start;
        delete thread;
        return nullptr;
    }
    thread->m_hThread = reinterpret_cast<HANDLE>(handle);
    thread->m_nThreadID = id;
    SetThreadPriority(thread->m_hThread, priority);
    if ((createFlags & CREATE_SUSPENDED) == 0) ResumeThread(thread->m_hThread);
    return thread;
}
