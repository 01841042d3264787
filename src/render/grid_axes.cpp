#include "render/grid_axes.h"

#include "render/text.h"

#include <gdfonts.h>

#include <algorithm>
#include <utility>
#include <vector>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace orvex {

namespace {

enum class Tick { one, five, ten };

// By the remainder that keeps the sign of k: -15 is a five, -20 a ten.
Tick tickClass(std::int64_t k) {
    const std::int64_t r = std::llabs(k % 10);
    return r == 0 ? Tick::ten : r == 5 ? Tick::five : Tick::one;
}

// The ticks of the horizontal axis: visit(k, column) for each whole map
// unit k from the truncated xMin, while its column lies left of the last.
template <class Visit>
void forEachColumnTick(const MapFrame& frame, Visit visit) {
    const std::int64_t x0 = static_cast<std::int64_t>(frame.xMin);
    for (std::int64_t k = x0;; ++k) {
        const int px = roundToInt(static_cast<double>(k - x0) * frame.scale);
        if (px >= frame.imageWidth - 1) break;
        visit(k, px);
    }
}

// The ticks of the vertical axis: visit(k, row). The tick row is rounded
// from (y0 - k) x scale + H as a whole, and the loop ends on the distance
// from H, unlike the horizontal axis.
template <class Visit>
void forEachRowTick(const MapFrame& frame, Visit visit) {
    const std::int64_t y0 = static_cast<std::int64_t>(frame.yMin);
    const int H = frame.imageHeight;
    for (std::int64_t k = y0;; ++k) {
        if (roundToInt(static_cast<double>(k - y0) * frame.scale) >= H - 1) break;
        visit(k, roundToInt(static_cast<double>(y0 - k) * frame.scale + H));
    }
}

// The digits of the longest number on the vertical axis; 0 when it has none.
int longestRowNumber(const MapFrame& frame) {
    int digits = 0;
    forEachRowTick(frame, [&](std::int64_t k, int) {
        if (tickClass(k) == Tick::ten) digits = std::max(digits, static_cast<int>(std::to_string(k).size()));
    });
    return digits;
}

}  // namespace

void registerGridAndAxes(const MapFrame& frame, bool grid, ObstacleIndex& obstacles) {
    const int W = frame.imageWidth, H = frame.imageHeight;
    const gdFontPtr font = gdFontGetSmall();
    const int w = font->w, h = font->h;
    forEachColumnTick(frame, [&](std::int64_t k, int px) {
        if (grid && tickClass(k) == Tick::ten) obstacles.add(rectGrow(rectFromCorners(px, H - h - 11, px, 0), 4));
    });
    obstacles.add(rectFromCorners(-50, 0, W + 50, -50));
    obstacles.add(rectFromCorners(-50, H + 50, W + 50, H - h - 11));

    forEachRowTick(frame, [&](std::int64_t k, int py) {
        if (tickClass(k) != Tick::ten) return;
        const int n = static_cast<int>(std::to_string(k).size());
        if (grid) obstacles.add(rectGrow(rectFromCorners(w * (n + 1) + 10, py, W, py), 4));
    });
    obstacles.add(rectFromCorners(-50, 0, w * (longestRowNumber(frame) + 1) + 10, H - 1));
    obstacles.add(rectFromCorners(W, 0, W + 50, H - 1));
}

namespace {

// The phase of the current line style: gd takes the entry for each pixel a
// styled line draws, in drawing order (top to bottom, left to right, after
// clipping), and goes on from there with the next line.
class StylePhase {
public:
    explicit StylePhase(gdImagePtr image) : image_(image), length_(image->styleLength) {}

    int at(std::int64_t ahead = 0) const { return static_cast<int>((position_ + ahead) % length_); }
    int entry(std::int64_t ahead = 0) const { return image_->style[at(ahead)]; }
    void advance(std::int64_t pixels) { position_ += pixels; }
    // Draws a styled line starting at the given phase.
    void line(int phase, int x1, int y1, int x2, int y2) const {
        image_->stylePos = phase;
        gdImageLine(image_, x1, y1, x2, y2, gdStyled);
    }
    // Leaves the image's style where the lines drawn so far left it.
    void settle() const { image_->stylePos = at(); }

private:
    gdImagePtr image_;
    int length_;
    std::int64_t position_ = 0;
};

// The styled lines of one column or row that no other drawing of the axes
// reaches: what they paint is worked out once for all of them, as all of
// them drawn in turn would paint it. A line of the same phase paints the
// same pixels the same way, so one line stands for each phase (and for
// the phases whose style entries run the same), taken in the order of the
// last line of each.
class ClearRun {
public:
    explicit ClearRun(gdImagePtr image) : style_(image->style), length_(image->styleLength), lastOf_(length_, -1) {}

    void add(int phase) { lastOf_[static_cast<std::size_t>(phase)] = count_++; }
    bool empty() const { return count_ == 0; }

    // The phases standing for the lines, in their order.
    std::vector<int> phases() const {
        std::vector<std::pair<int, int>> order;  // last line, phase
        for (int phase = 0; phase < length_; ++phase) {
            const int last = lastOf_[static_cast<std::size_t>(phase)];
            if (last < 0) continue;
            // A phase whose entries run as an earlier taken one's is drawn by it.
            auto same = [&](const std::pair<int, int>& other) { return runsAlike(other.second, phase); };
            const auto alike = std::find_if(order.begin(), order.end(), same);
            if (alike == order.end()) order.emplace_back(last, phase);
            else *alike = {std::max(alike->first, last), alike->second};
        }
        std::sort(order.begin(), order.end());
        std::vector<int> phases;
        phases.reserve(order.size());
        for (const auto& [last, phase] : order) phases.push_back(phase);
        return phases;
    }

    void clear() {
        std::fill(lastOf_.begin(), lastOf_.end(), -1);
        count_ = 0;
    }

    // The entry a line of phase p gives the pixel `step` pixels on.
    int entry(int p, std::int64_t step) const { return style_[(p + step) % length_]; }

private:
    bool runsAlike(int a, int b) const {
        for (int i = 0; i < length_; ++i)
            if (style_[(a + i) % length_] != style_[(b + i) % length_]) return false;
        return true;
    }

    const int* style_;
    int length_;
    std::vector<int> lastOf_;
    int count_ = 0;
};

// The pixels of styled lines set as gd sets them: an entry of gdTransparent
// leaves its pixel, and nothing is set outside the clipping rectangle.

// Vertical lines from row 0 down to row rows - 1, each at its column with
// the phases standing for its lines; painted row by row.
void paintColumns(gdImagePtr image, const ClearRun& run, const std::vector<std::pair<int, std::vector<int>>>& columns,
                  int rows) {
    const int length = image->styleLength;
    // The pixels of a row, for each row's place in the style's period, as
    // runs of neighbouring columns set to one entry.
    struct Run {
        int first, last;
        unsigned char entry;
    };
    std::vector<std::vector<Run>> rowOf(static_cast<std::size_t>(length));
    for (const auto& [x, phases] : columns) {
        if (x < image->cx1 || x > image->cx2) continue;
        for (int r = 0; r < length; ++r) {
            // The last phase painting the pixel decides it.
            int entry = gdTransparent;
            for (const int p : phases)
                if (run.entry(p, r) != gdTransparent) entry = run.entry(p, r);
            if (entry == gdTransparent) continue;
            std::vector<Run>& runs = rowOf[static_cast<std::size_t>(r)];
            if (!runs.empty() && runs.back().last == x - 1 && runs.back().entry == entry) runs.back().last = x;
            else runs.push_back({x, x, static_cast<unsigned char>(entry)});
        }
    }
    for (int y = std::max(0, image->cy1); y < rows && y <= image->cy2; ++y) {
        unsigned char* pixels = image->pixels[y];
        for (const Run& r : rowOf[static_cast<std::size_t>(y % length)])
            std::fill(pixels + r.first, pixels + r.last + 1, r.entry);
    }
}

// A horizontal line from column `from` to the image's right edge, at row
// y, in the phase p.
void paintRow(gdImagePtr image, int p, int from, int y) {
    if (y < image->cy1 || y > image->cy2) return;
    unsigned char* pixels = image->pixels[y];
    const int first = std::max(from, image->cx1), last = std::min(gdImageSX(image) - 1, image->cx2);
    if (first > last) return;
    const int* style = image->style;
    const int length = image->styleLength;
    if (std::all_of(style, style + length, [&](int entry) { return entry == style[0] && entry != gdTransparent; })) {
        std::fill(pixels + first, pixels + last + 1, static_cast<unsigned char>(style[0]));
        return;
    }
    int at = static_cast<int>((p + static_cast<std::int64_t>(first - from)) % length);
    for (int x = first; x <= last; ++x) {
        if (style[at] != gdTransparent) pixels[x] = static_cast<unsigned char>(style[at]);
        if (++at == length) at = 0;
    }
}

// The longest tick drawn on one column or row: ticks are lines of one colour
// from the axis, which no other drawing of their section reaches.
struct Ticks {
    int at = -1, length = -1;
};

}  // namespace

// A map unit is drawn as a tick and, every ten units, a number and a grid
// line; at small scales many units fall on one pixel column or row. Each
// column and row is drawn once for all of them: the ticks as the longest,
// the grid lines' stretches that no number reaches by ClearRun, while the
// numbers and the few pixels of the grid lines that numbers reach are
// drawn unit by unit, in order, as before.
void drawGridAndAxes(Canvas& canvas, const MapFrame& frame, bool grid) {
    gdImagePtr image = canvas.image.get();
    const int axesColor = canvas.colorIndex[AXESCOLOR];
    const int textColor = canvas.colorIndex[AXESTEXTCOLOR];
    const int W = frame.imageWidth, H = frame.imageHeight;
    const gdFontPtr font = gdFontGetSmall();
    const int w = font->w, h = font->h;

    useLineStyle(image, canvas.lineStyles.grid);
    gdImageLine(image, 0, 0, 0, H - 1, axesColor);
    gdImageLine(image, 0, H - 1, W - 1, H - 1, axesColor);
    StylePhase phase(image);

    // The horizontal axis. A vertical grid line runs from the numbers' top
    // row, B, up to row 0; only its pixel on row B can meet a number. On a
    // map too low for a row between, the ticks reach row 0 too, and every
    // unit is drawn in turn.
    const int B = H - h - 11;
    ClearRun column(image);
    // The columns' grid lines above row B, painted row by row at the end.
    std::vector<std::pair<int, std::vector<int>>> columns;
    Ticks ticks;
    auto drawTick = [&](int px, int length) { gdImageLine(image, px, H - 1, px, H - 1 - length, axesColor); };
    auto endColumn = [&] {
        if (ticks.length >= 0) drawTick(ticks.at, ticks.length);
        if (!column.empty()) columns.emplace_back(ticks.at, column.phases());
        column.clear();
        ticks = {};
    };
    auto tickOf = [&](int px, int length) {
        if (B < 1) drawTick(px, length);
        else ticks.length = std::max(ticks.length, length);
    };
    forEachColumnTick(frame, [&](std::int64_t k, int px) {
        if (px != ticks.at) endColumn(), ticks.at = px;
        const Tick tick = tickClass(k);
        if (tick == Tick::one) tickOf(px, 2);
        if (tick == Tick::five) tickOf(px, 5);
        if (tick != Tick::ten) return;
        if (px != 0) {
            const std::string number = std::to_string(k);
            const int n = static_cast<int>(number.size());
            tickOf(px, 10);
            drawString(image, font, px - w * (n / 2), H - h - 11, number, textColor);
        }
        if (!grid) return;
        if (B < 1) {  // one pixel, at row 0
            phase.line(phase.at(), px, B, px, 0);
            phase.advance(1);
            return;
        }
        if (phase.entry(B) != gdTransparent) gdImageSetPixel(image, px, B, phase.entry(B));
        column.add(phase.at());
        phase.advance(B + 1);
    });
    endColumn();
    paintColumns(image, column, columns, B);

    // The vertical axis. A horizontal grid line runs from right of its
    // number to the right edge; numbers reach no further than clear.
    const int clear = w * (longestRowNumber(frame) + 1) + 10;
    ClearRun row(image);
    auto endRow = [&] {
        if (ticks.length >= 0) gdImageLine(image, 0, ticks.at, ticks.length, ticks.at, axesColor);
        for (const int p : row.phases()) paintRow(image, p, clear, ticks.at);
        row.clear();
        ticks = {};
    };
    forEachRowTick(frame, [&](std::int64_t k, int py) {
        if (py != ticks.at) endRow(), ticks.at = py;
        const Tick tick = tickClass(k);
        if (tick == Tick::one) ticks.length = std::max(ticks.length, 2);
        if (tick == Tick::five) ticks.length = std::max(ticks.length, 5);
        if (tick != Tick::ten) return;
        const std::string number = std::to_string(k);
        const int n = static_cast<int>(number.size());
        if (py != H) {
            ticks.length = std::max(ticks.length, 10);
            drawString(image, font, w + 10, py - h / 2, number, textColor);
        }
        const int from = w * (n + 1) + 10;
        if (!grid || py < 0 || py > H - 1 || from > W - 1) return;  // clipped away: no pixel, no phase
        const int reached = std::min(clear, W);  // the columns numbers may reach end here
        if (from < reached) phase.line(phase.at(), from, py, reached - 1, py);
        if (clear <= W - 1) row.add(phase.at(clear - from));
        phase.advance(W - from);
    });
    endRow();
    phase.settle();
}

}  // namespace orvex
