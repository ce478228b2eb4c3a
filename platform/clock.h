// The time as the user reads it, and a clock that only goes forward for
// measuring how long something took.
#pragma once

#include <cstdint>
#include <string>

namespace qw {

// GetLocalTime: the date and time of the user's time zone.
struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// "2024-05-31 14:03:07": sorts as it reads, and reads alike in every language.
std::string FormatLocalTime(const LocalTime& time);

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime Local() = 0;
    // GetTickCount64: milliseconds since the system started; never goes back
    // when the user sets the clock.
    virtual std::int64_t Milliseconds() = 0;
};

}  // namespace qw
