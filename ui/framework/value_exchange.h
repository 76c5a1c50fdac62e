// Moving values between a dialog's controls and its members. Each dialog lists
// its (control, member) pairs once, in ExchangeValues(); the same list then
// runs in either direction.
#pragma once

#include <string>

#include "win32.h"

namespace framework {

class ValueExchange {
public:
    enum class Direction {
        Pull,  // controls to members
        Push,  // members to controls
    };

    ValueExchange(HWND dialog, Direction direction) : dialog_(dialog), direction_(direction) {}

    // An edit control's text, in the ANSI code page, of any length.
    void Text(int controlId, std::string& value) const;
    // A check box: ticked is 1, anything else 0.
    void Flag(int controlId, int& value) const;

private:
    HWND dialog_;
    Direction direction_;
};

}  // namespace framework
