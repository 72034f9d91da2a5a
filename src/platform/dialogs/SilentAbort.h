#pragma once

#include <exception>

// Abandons the current action after its message has been shown. The application's event
// dispatch swallows it without showing anything; a caller that must react (the login keeping
// itself open) catches it.
class SilentAbort : public std::exception {
public:
    const char* what() const noexcept override { return "silent abort"; }
};
