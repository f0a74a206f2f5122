// Today's date, the time of day and a stopwatch, injected so that tests can fix them.
#pragma once

#include <cstdint>
#include <string>

namespace mw {

struct Date {
    int year = 1970;
    int month = 1;
    int day = 1;
};

struct DateTime {
    Date date;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int utcOffsetMinutes = 0;  // how far the time of day is ahead of UTC
};

// The earliest year of birth the station takes.
inline constexpr int kEarliestBirthYear = 1890;

// "mm/dd/yyyy", the form of the record's dates.
std::string FormatDate(const Date& date);

class Clock {
public:
    virtual ~Clock() = default;
    virtual Date Today() const = 0;
    // The date and time of day; a clock that keeps only the date gives midnight.
    virtual DateTime Now() const { return {Today()}; }
    // Milliseconds from an arbitrary start that never goes back, whatever
    // is done to the time of day: what the on-screen test times answers by.
    virtual std::int64_t MonotonicMs() const = 0;
};

// The machine's local date and time.
const Clock& SystemClock();

}  // namespace mw
