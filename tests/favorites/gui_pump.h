#pragma once
// Lets the display and the toolkit catch up (size and placement changes arrive as events) until a condition
// holds or a second has passed.
#include <chrono>
#include <functional>

#include <wx/app.h>
#include <wx/utils.h>

inline bool PumpUntil(const std::function<bool()> &done, int milliseconds = 1000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        wxYield();
        if (done())
            return true;
        if (std::chrono::steady_clock::now() > end)
            return false;
        wxMilliSleep(5);
    }
}

inline void Pump(int milliseconds = 50) {
    PumpUntil([] { return false; }, milliseconds);
}
