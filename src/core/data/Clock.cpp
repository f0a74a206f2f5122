#include "core/data/Clock.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace mw {
namespace {

class LocalClock final : public Clock {
public:
    Date Today() const override { return Now().date; }

    DateTime Now() const override {
        std::time_t now = std::time(nullptr);
        std::tm local{};
#ifdef _WIN32
        localtime_s(&local, &now);
#else
        localtime_r(&now, &local);
#endif
        return {{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday},
                local.tm_hour,
                local.tm_min,
                local.tm_sec,
#ifdef _WIN32
                -static_cast<int>(_timezone / 60) + (local.tm_isdst > 0 ? 60 : 0)};
#else
                static_cast<int>(local.tm_gmtoff / 60)};
#endif
    }

    std::int64_t MonotonicMs() const override {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
};

}  // namespace

std::string FormatDate(const Date& date) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d", date.month % 100, date.day % 100,
                  date.year % 10000);
    return text;
}

const Clock& SystemClock() {
    static LocalClock clock;
    return clock;
}

}  // namespace mw
