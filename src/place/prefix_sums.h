// One row of a summed-area table: from the values of a row of cells and
// the table's row above it.
#pragma once

#include <cstddef>

namespace orvex {

// row[1 .. n-1] holds the values of cells 0 .. n-2 (row[0] is 0); makes
// row[i] the sum of the first i values plus above[i]. The running sum and
// the adding of the row above go in separate loops, so that the second
// can be vectorised.
template <class T>
void sumRow(T* row, const T* above, std::size_t n) {
    T run = 0;
    for (std::size_t i = 1; i < n; ++i) row[i] = run += row[i];
    for (std::size_t i = 1; i < n; ++i) row[i] += above[i];
}

}  // namespace orvex
