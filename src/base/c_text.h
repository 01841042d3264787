// Text as C's string functions see it.
#pragma once

#include <string>

namespace orvex {

// The text up to its first NUL byte. Names and lines read from input may
// hold NUL bytes; messages show them only up to there, as a C string would.
inline std::string cText(const std::string& text) { return text.c_str(); }

}  // namespace orvex
