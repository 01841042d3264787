// Coverage sums over a region: the number of obstacles over each pixel,
// summed over any rectangle inside the region in four look-ups.
#pragma once

#include "base/geometry.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orvex {

// A summed-area table of per-pixel coverage counts, kept from one region to
// the next, so that its memory is reused. The sums are kept in 32 bits when
// the region's whole coverage stays below 2^31, which halves the table's
// memory traffic.
class CoverageTable {
public:
    // Fills the table for the pixels of region (right and bottom sides
    // excluded). rowCounts(y, take) hands the counts of the region's pixel
    // row y to take(counts, n), from its left edge on, in pieces of n
    // consecutive counts (uint16_t or int32_t); total bounds the sum of
    // every count of the region from above.
    template <class RowCounts>
    void build(const Rect& region, std::int64_t total, RowCounts rowCounts) {
        x0_ = region.left, y0_ = region.top;
        stride_ = region.right - region.left + 1, rows_ = region.bottom - region.top + 1;
        isNarrow_ = total < (std::int64_t{1} << 31);
        if (isNarrow_) fill(narrow_, rowCounts);
        else fill(wide_, rowCounts);
    }

    // The coverage summed over the pixels of r (right and bottom sides
    // excluded), which lies inside the region.
    std::int64_t sum(const Rect& r) const { return isNarrow_ ? sumOf(narrow_, r) : sumOf(wide_, r); }

    // The least sum over r moved by 0 .. across - 1 pixels right and
    // 0 .. down - 1 down, of the moves that keep it inside the region;
    // INT64_MAX when none does.
    std::int64_t leastSum(Rect r, int across, int down) const {
        const int skipX = std::max(0, x0_ - r.left), skipY = std::max(0, y0_ - r.top);
        r = {r.left + skipX, r.top + skipY, r.right + skipX, r.bottom + skipY};
        across = std::min(across - skipX, x0_ + stride_ - r.right);
        down = std::min(down - skipY, y0_ + rows_ - r.bottom);
        if (across <= 0 || down <= 0) return INT64_MAX;
        return isNarrow_ ? leastOf(narrow_, r, across, down) : leastOf(wide_, r, across, down);
    }

private:
    // Each row is summed as its counts come, in one pass: the running sum
    // along the row plus the entry above.
    template <class T, class RowCounts>
    void fill(std::vector<T>& table, RowCounts& rowCounts) {
        const auto stride = static_cast<std::size_t>(stride_);
        table.resize(stride * static_cast<std::size_t>(rows_));
        std::fill_n(table.begin(), stride, T{0});
        for (std::size_t j = 1; j < static_cast<std::size_t>(rows_); ++j) {
            T* row = &table[j * stride];
            const T* above = row - stride;
            row[0] = 0;
            T run = 0;
            std::size_t at = 1;
            rowCounts(y0_ + static_cast<int>(j) - 1, [&](const auto* counts, int n) {
                run = sumPiece(row + at, above + at, counts, n, run);
                at += static_cast<std::size_t>(n);
            });
        }
    }

    // Writes out[c] = up[c] + run + counts[0] + ... + counts[c] for c below
    // n, and returns the last running sum. Kept out of line, so that the
    // running sum stays in a register; in 32 bits on SSE2, four entries at
    // a time (the sums stay below 2^31, so no step wraps).
    template <class T, class Count>
    [[gnu::noinline]] static T sumPiece(T* out, const T* up, const Count* counts, int n, T run) {
        int c = 0;
#if defined(__SSE2__)
        if constexpr (std::is_same_v<T, std::int32_t>) {
            __m128i carry = _mm_set1_epi32(run);
            for (; c + 4 <= n; c += 4) {
                __m128i x = fourCounts(counts + c);
                x = _mm_add_epi32(x, _mm_slli_si128(x, 4));
                x = _mm_add_epi32(x, _mm_slli_si128(x, 8));
                x = _mm_add_epi32(x, carry);
                carry = _mm_shuffle_epi32(x, 0xff);
                const __m128i above = _mm_loadu_si128(reinterpret_cast<const __m128i*>(up + c));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out + c), _mm_add_epi32(x, above));
            }
            run = _mm_cvtsi128_si32(carry);
        }
#endif
        for (; c < n; ++c) out[c] = up[c] + (run += counts[c]);
        return run;
    }

#if defined(__SSE2__)
    // Four counts from p on, widened to 32 bits.
    static __m128i fourCounts(const std::uint8_t* p) {
        std::int32_t bytes;
        std::memcpy(&bytes, p, sizeof bytes);
        const __m128i zero = _mm_setzero_si128();
        return _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(bytes), zero), zero);
    }
    static __m128i fourCounts(const std::uint16_t* p) {
        return _mm_unpacklo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
    }
    static __m128i fourCounts(const std::int32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
#endif

    // Entry (i, j) holds the sum over the pixels left of x0 + i and above
    // y0 + j, so the first row and column stay 0.
    template <class T>
    std::int64_t sumOf(const std::vector<T>& table, const Rect& r) const {
        auto at = [&](int x, int y) -> std::int64_t {
            return table[static_cast<std::size_t>(y - y0_) * static_cast<std::size_t>(stride_) +
                         static_cast<std::size_t>(x - x0_)];
        };
        return at(r.right, r.bottom) - at(r.left, r.bottom) - at(r.right, r.top) + at(r.left, r.top);
    }

    // The least sum over r moved within across x down pixels, all inside
    // the region: a row of moves at a time, four at once on SSE2 in 32
    // bits (no sum there reaches 2^31).
    template <class T>
    std::int64_t leastOf(const std::vector<T>& table, const Rect& r, int across, int down) const {
        const auto stride = static_cast<std::size_t>(stride_);
        const auto w = static_cast<std::size_t>(r.right - r.left);
        const std::size_t h = static_cast<std::size_t>(r.bottom - r.top) * stride;
        const T* first = &table[static_cast<std::size_t>(r.top - y0_) * stride + static_cast<std::size_t>(r.left - x0_)];
        std::int64_t least = INT64_MAX;
        int scalarFrom = 0;
#if defined(__SSE2__)
        if constexpr (std::is_same_v<T, std::int32_t>) {
            auto at = [](const T* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
            __m128i low = _mm_set1_epi32(INT32_MAX);
            for (; scalarFrom + 4 <= across; scalarFrom += 4) {
                for (int j = 0; j < down; ++j) {
                    const T* p = first + static_cast<std::size_t>(j) * stride + static_cast<std::size_t>(scalarFrom);
                    const __m128i s = _mm_add_epi32(_mm_sub_epi32(at(p + h + w), at(p + h)), _mm_sub_epi32(at(p), at(p + w)));
                    const __m128i above = _mm_cmpgt_epi32(low, s);
                    low = _mm_or_si128(_mm_and_si128(above, s), _mm_andnot_si128(above, low));
                }
            }
            alignas(16) std::array<std::int32_t, 4> lanes{};
            _mm_store_si128(reinterpret_cast<__m128i*>(lanes.data()), low);
            for (const std::int32_t v : lanes) least = std::min<std::int64_t>(least, v);
        }
#endif
        for (int j = 0; j < down; ++j) {
            for (int i = scalarFrom; i < across; ++i) {
                const T* p = first + static_cast<std::size_t>(j) * stride + static_cast<std::size_t>(i);
                least = std::min<std::int64_t>(least, p[h + w] - p[h] - p[w] + p[0]);
            }
        }
        return least;
    }

    int x0_ = 0, y0_ = 0, stride_ = 0, rows_ = 0;
    bool isNarrow_ = true;
    std::vector<std::int32_t> narrow_;
    std::vector<std::int64_t> wide_;
};

}  // namespace orvex
