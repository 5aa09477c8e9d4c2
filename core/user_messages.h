// What the installer has to tell the user on its way: the floors below the
// program say what, the program (app/) decides how it is told.
#pragma once

#include <string>

class UserMessages {
public:
    // Tells the user this text and returns when the user has taken note.
    virtual void Tell(const std::string& text) = 0;

protected:
    ~UserMessages() = default;
};
