// Today's date, injected so that tests can fix it.
#pragma once

#include <string>

namespace mw {

struct Date {
    int year = 1970;
    int month = 1;
    int day = 1;
};

// The earliest year of birth the station takes.
inline constexpr int kEarliestBirthYear = 1890;

// "mm/dd/yyyy", the form of the record's dates.
std::string FormatDate(const Date& date);

class Clock {
public:
    virtual ~Clock() = default;
    virtual Date Today() const = 0;
};

// The machine's local date.
const Clock& SystemClock();

}  // namespace mw
