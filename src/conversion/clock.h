#pragma once
// The clock of the "%Created" line of a PBN export; tests install a fixed one.
#include <ctime>

class IClock {
public:
    virtual ~IClock() = default;
    virtual std::time_t Now() const = 0;
};

class SystemClock : public IClock {
public:
    std::time_t Now() const override { return std::time(nullptr); }
};
