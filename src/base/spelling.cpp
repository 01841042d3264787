#include "base/spelling.h"

#include <algorithm>
#include <cctype>

namespace orvex {

namespace {

char folded(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

}  // namespace

int editDistance(const std::string& a, const std::string& b) {
    const std::size_t n = a.size(), m = b.size();
    // Three rows of the table: two back, one back, and the one being made.
    std::vector<int> twoBack(m + 1), oneBack(m + 1), row(m + 1);
    for (std::size_t j = 0; j <= m; ++j) oneBack[j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= n; ++i) {
        row[0] = static_cast<int>(i);
        for (std::size_t j = 1; j <= m; ++j) {
            const int cost = folded(a[i - 1]) == folded(b[j - 1]) ? 0 : 1;
            row[j] = std::min({oneBack[j] + 1, row[j - 1] + 1, oneBack[j - 1] + cost});
            if (i > 1 && j > 1 && folded(a[i - 1]) == folded(b[j - 2]) && folded(a[i - 2]) == folded(b[j - 1]))
                row[j] = std::min(row[j], twoBack[j - 2] + 1);
        }
        std::swap(twoBack, oneBack);
        std::swap(oneBack, row);
    }
    return oneBack[m];
}

std::string nearestName(const std::string& word, const std::vector<std::string>& names, int maxEdits) {
    std::string best;
    int bestDistance = maxEdits + 1;
    for (const std::string& name : names) {
        const int distance = editDistance(word, name);
        if (distance < bestDistance) best = name, bestDistance = distance;
    }
    return best;
}

}  // namespace orvex
