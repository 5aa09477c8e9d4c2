#include "app/message_boxes.h"

#include <windows.h>

#include "core/startup_rules.h"
#include "framework/message_box.h"
#include "system/instance.h"

bool MessageBoxes::Note(const std::string& text) {
    if (m_report != nullptr) m_report->Line(m_show ? "message shown: " : "message suppressed: ", text);
    return m_show;
}

void MessageBoxes::Tell(const std::string& text) {
    // The program's name as caption, as for every box of the program.
    if (Note(text)) ShowMessageBox(text, ApplicationNameOfPath(ModulePath()));
}

void MessageBoxes::Show(const std::string& text, const std::string& caption, unsigned style) {
    if (Note(text)) MessageBoxA(nullptr, text.c_str(), caption.c_str(), style);
}
