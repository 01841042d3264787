// Near misses in names: a typed word against the names it may have meant.
#pragma once

#include <string>
#include <vector>

namespace orvex {

// The number of single-letter insertions, deletions, substitutions and
// swaps of neighbours that turn a into b, letters compared without regard
// to case.
int editDistance(const std::string& a, const std::string& b);

// The first of names at the least edit distance from word, if that is at
// most maxEdits; empty otherwise.
std::string nearestName(const std::string& word, const std::vector<std::string>& names, int maxEdits);

}  // namespace orvex
