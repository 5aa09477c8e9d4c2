// How the program tells the user what the floors below have to say: the
// application's message box, modal to the page the user works with; or,
// when nobody may be asked ("/quiet", "/check"), no box at all. Every text
// goes into the run's log as shown or suppressed.
#pragma once

#include "app/run_report.h"
#include "core/user_messages.h"

class MessageBoxes : public UserMessages {
public:
    // Boxes, and no log.
    MessageBoxes() = default;
    MessageBoxes(RunReport& report, bool show) : m_report(&report), m_show(show) {}
    void Tell(const std::string& text) override;
    // A box of its own, with no owner: this caption and style.
    void Show(const std::string& text, const std::string& caption, unsigned style);

private:
    // Logs the text as shown or suppressed; whether to show it.
    bool Note(const std::string& text);

    RunReport* m_report = nullptr;
    bool m_show = true;
};
