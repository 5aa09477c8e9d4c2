#include "system/instance.h"

#include <tlhelp32.h>

#include <cstring>

#include "core/startup_rules.h"
#include "system/scoped.h"

std::string ModulePath() {
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

ScopedHandle ClaimSingleInstance() {
    const std::string name = InstanceMutexName(ModulePath());
    ScopedHandle mutex(CreateMutexA(nullptr, TRUE, name.c_str()));
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED) mutex.reset();
    return mutex;
}

std::vector<DWORD> FindProcessesByName(const std::string& exeName) {
    std::vector<DWORD> found;
    const ScopedFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return found;
    PROCESSENTRY32 entry;
    std::memset(&entry, 0, sizeof entry);
    entry.dwSize = sizeof(PROCESSENTRY32);
    if (!Process32First(snapshot.get(), &entry)) return found;
    do {
        entry.szExeFile[MAX_PATH - 1] = '\0';
        if (exeName == entry.szExeFile) found.push_back(entry.th32ProcessID);
        std::memset(&entry, 0, sizeof entry);
        entry.dwSize = sizeof(PROCESSENTRY32);
    } while (Process32Next(snapshot.get(), &entry));
    return found;
}

void WriteCompatibilityMark() {
    ScopedKey key;
    const char* persisted =
        "Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility "
        "Assistant\\Persisted";
    if (RegOpenKeyExA(HKEY_CURRENT_USER, persisted, 0, KEY_READ | KEY_WRITE, key.out()) != ERROR_SUCCESS) {
        return;
    }
    const std::string path = ModulePath();
    const DWORD one = 1;
    RegSetValueExA(key.get(), path.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
}

namespace {
constexpr DWORD kProcessExitMs = 5000;
}  // namespace

bool StopProcess(DWORD pid) {
    ScopedHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
    if (!process) {
        // Ended where it cannot be waited for: taken as ended once terminated.
        ScopedHandle terminate(OpenProcess(PROCESS_TERMINATE, FALSE, pid));
        return terminate && TerminateProcess(terminate.get(), 0);
    }
    TerminateProcess(process.get(), 0);
    return WaitForSingleObject(process.get(), kProcessExitMs) == WAIT_OBJECT_0;
}

