#pragma once

#include <ctime>

// The calendar time t in the local time zone.
std::tm LocalTime(std::time_t t);
