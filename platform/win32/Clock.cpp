// The Win32 half of the clock.
#include "platform/Clock.h"

std::tm LocalTime(std::time_t t) {
    std::tm local{};
    ::localtime_s(&local, &t);
    return local;
}
