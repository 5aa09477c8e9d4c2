#include "app/message_boxes.h"

#include "framework/afx.h"

void MessageBoxes::Tell(const std::string& text) { AfxMessageBox(text); }
