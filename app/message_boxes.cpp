#include "app/message_boxes.h"

#include "framework/afx.h"

void MessageBoxes::Tell(const std::string& text) {
    if (m_report != nullptr) m_report->Line(m_show ? "message shown: " : "message suppressed: ", text);
    if (m_show) AfxMessageBox(text);
}
