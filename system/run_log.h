// The run's log: a UTF-8 text file the installer appends to when the command
// line asks for one. Each line is written through to the file at once, with
// the local time in front, so that the log tells what happened up to the
// moment a run was stopped.
#pragma once

#include <string>

#include "system/scoped.h"

class RunLog {
public:
    // Opens the file for appending, creating it in an existing folder.
    // False, and the log stays closed, when it cannot be opened.
    bool Open(const std::string& utf8Path);
    bool IsOpen() const { return static_cast<bool>(m_file); }

    // One line of UTF-8 text; nothing when the log is closed.
    void Line(const std::string& utf8Text);

private:
    ScopedFile m_file;
};

// Text conversions for the log: the installer's own texts and paths are in
// the system's ANSI code page, the command line in UTF-16.
std::string AnsiToUtf8(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
std::wstring Utf8ToWide(const std::string& text);

// The whole command line the process was started with, as UTF-8.
std::string CommandLineUtf8();
