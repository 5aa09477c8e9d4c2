#include "system/run_log.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>

namespace {

std::wstring ToWide(const std::string& text, UINT codePage) {
    if (text.empty()) return std::wstring();
    const int size = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (size <= 0) return std::wstring();
    std::wstring wide(static_cast<std::wstring::size_type>(size), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
    return wide;
}

}  // namespace

std::string WideToUtf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string utf8(static_cast<std::string::size_type>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], size, nullptr, nullptr);
    return utf8;
}

std::wstring Utf8ToWide(const std::string& text) { return ToWide(text, CP_UTF8); }

std::string AnsiToUtf8(const std::string& text) { return WideToUtf8(ToWide(text, CP_ACP)); }

std::string CommandLineUtf8() {
    const wchar_t* line = GetCommandLineW();
    return line != nullptr ? WideToUtf8(line) : std::string();
}

bool RunLog::Open(const std::string& utf8Path) {
    if (utf8Path.empty()) return false;
    // Appending only: other runs may write to the same file, and a reader
    // may watch it meanwhile.
    m_file.reset(CreateFileW(Utf8ToWide(utf8Path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(m_file);
}

void RunLog::Line(const std::string& utf8Text) {
    if (!m_file) return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u.%03u ", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    std::string line = stamp;
    // A line is one line: breaks inside a text (the help text's) are kept
    // as separate lines with the same time.
    for (char c : utf8Text) {
        if (c == '\r') continue;
        if (c == '\n') {
            line += "\r\n";
            line += stamp;
        } else {
            line += c;
        }
    }
    line += "\r\n";
    DWORD written = 0;
    WriteFile(m_file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}
