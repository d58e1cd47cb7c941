// The POSIX half of the clock.
#include "platform/Clock.h"

std::tm LocalTime(std::time_t t) {
    std::tm local{};
    ::localtime_r(&t, &local);
    return local;
}
