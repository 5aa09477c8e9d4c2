// How the program tells the user what the floors below have to say: the
// application's message box, modal to the page the user works with.
#pragma once

#include "core/user_messages.h"

class MessageBoxes : public UserMessages {
public:
    void Tell(const std::string& text) override;
};
