#pragma once

// The whole-screen cursor: one value for the whole application, as an hourglass while work is
// going on and the default otherwise (not a stack of overrides).
namespace ScreenCursor {

void hourglass();
void normal();
bool isHourglass();

// Sets the hourglass for its lifetime and the default again when it ends, also by an exception.
class Busy {
public:
    Busy() { hourglass(); }
    ~Busy() { normal(); }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;
};

} // namespace ScreenCursor
