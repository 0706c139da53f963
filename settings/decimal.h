// The decimal conversion of the interval text: white space skipped, an
// optional sign, then digits up to the first other character; no digits
// gives 0. A number beyond the 32-bit range saturates to its nearest end, so
// whatever the user types, a huge number stays a huge interval.
#pragma once

#include <cstdint>

std::int32_t DecimalToLong(const char* text);
