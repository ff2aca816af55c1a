#pragma once

#include <cstdint>
#include <string>

// The readout form of an angle: the default number text cut (not rounded)
// two characters after its last ".", so 12.3456 reads "12.34", 180 reads
// "180" and 45.999999 reads "46".
std::string angleReadout(double degrees);

// Truncates toward zero into a 32-bit integer, clamping values beyond its
// range (and NaN to 0) instead of overflowing.
int32_t truncateToInt32(double value);
