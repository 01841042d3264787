#include "render/label_placement.h"

#include "base/pause_after_misses.h"
#include "place/label_search.h"

#include <gdfonts.h>

#include <atomic>
#include <system_error>
#include <thread>
#include <utility>

#if defined(__linux__)
#include <sched.h>
#endif

namespace orvex {

namespace {

// What one object's label search is given.
struct LabelRequest {
    PixelPoint anchor{};
    int iconHalfWidth = 0, width = 0, height = 0;
    std::optional<PixelPoint> preferred;

    PixelPoint placeWith(LabelSearch& search, const ObstacleIndex& obstacles) const {
        return search.place(anchor, iconHalfWidth, width, height, obstacles, preferred);
    }
    Rect readArea() const { return LabelSearch::readArea(anchor, iconHalfWidth, width, height, preferred); }
};

LabelRequest requestFor(const GameObject& object, const std::optional<PixelPoint>& offset) {
    const gdFontPtr font = gdFontGetSmall();
    return {object.anchor(), object.iconHalfWidth(), font->w * static_cast<int>(object.label.size()), font->h,
            offset ? std::optional<PixelPoint>{{object.px + offset->x, object.py + offset->y}} : std::nullopt};
}

// Registers the label at corner, and its leader where the map draws them,
// as obstacles; each rectangle added is also appended to `added`.
PlacedLabel registerLabel(const GameObject& object, const LabelRequest& request, PixelPoint corner, bool leaders,
                          ObstacleIndex& obstacles, std::vector<Rect>& added) {
    auto add = [&](const Rect& r) {
        obstacles.add(r);
        added.push_back(r);
    };
    PlacedLabel placed;
    placed.corner = corner;
    placed.text = rectFromCorners(corner.x, corner.y, corner.x + request.width, corner.y + request.height);
    const Rect registered = rectGrow(placed.text, 2);
    add(registered);
    if (leaders) {
        const PixelPoint m = nearestEdgeMidpoint(registered, object.px, object.py);
        placed.leader = Segment{m, object.anchor()};
        const Rect box = rectFromCorners(m.x, m.y, object.px, object.py);
        add(isAxisParallel(m.x, m.y, object.px, object.py) ? rectGrow(box, 4) : box);
    }
    return placed;
}

// A second thread with a copy of the obstacles of its own, kept up to date
// by the rectangles handed to it with each request: it reads nothing the
// caller writes while it works.
class Helper {
public:
    // Starts with a copy of the obstacles so far.
    explicit Helper(ObstacleIndex obstacles) : obstacles_(std::move(obstacles)) {
        thread_ = std::thread([this] { serve(); });
    }
    Helper(const Helper&) = delete;
    Helper& operator=(const Helper&) = delete;
    ~Helper() {
        if (busy_) result();
        state_.store(STOPPING, std::memory_order_release);
        state_.notify_one();
        thread_.join();
    }

    // Starts the search of request among the obstacles so far and those
    // added, which are taken over, once the search started before is done.
    void start(std::vector<Rect>& added, const LabelRequest& request) {
        if (busy_) result();
        busy_ = true;
        added_.swap(added);
        added.clear();
        request_ = request;
        state_.store(WORKING, std::memory_order_release);
        state_.notify_one();
    }

    // The answer of the search started last, once it is done; nothing when
    // it failed.
    std::optional<PixelPoint> result() {
        awaitChange(WORKING);
        state_.store(IDLE, std::memory_order_relaxed);
        busy_ = false;
        return answer_;
    }

private:
    enum State : int { IDLE, WORKING, DONE, STOPPING };

    // Waits until the state is no longer `from`: briefly by looking again
    // and again, as the other side is seldom long, then by sleeping. Each
    // look yields the core, as the other side may be waiting for it where
    // the machine is busy.
    int awaitChange(int from) {
        for (int looks = 0; looks < LOOKS; ++looks) {
            const int now = state_.load(std::memory_order_acquire);
            if (now != from) return now;
            std::this_thread::yield();
        }
        state_.wait(from, std::memory_order_acquire);
        return state_.load(std::memory_order_acquire);
    }

    void serve() {
        for (int state = IDLE;;) {
            while (state != WORKING && state != STOPPING) state = awaitChange(state);
            if (state == STOPPING) return;
            for (const Rect& r : added_) obstacles_.add(r);
            try {
                answer_ = request_.placeWith(search_, obstacles_);
            } catch (...) {
                // Searched for again by the caller, which meets the failure
                // in its turn.
                answer_.reset();
            }
            state_.store(DONE, std::memory_order_release);
            state_.notify_one();
            state = DONE;
        }
    }

    // About a search's length in all, at half a microsecond or so a look.
    static constexpr int LOOKS = 256;

    std::atomic<int> state_{IDLE};
    bool busy_ = false;  // a search was started whose answer is not taken yet
    std::vector<Rect> added_;
    LabelRequest request_{};
    std::optional<PixelPoint> answer_;
    ObstacleIndex obstacles_;
    LabelSearch search_;
    std::thread thread_;
};

// How many cores this process may run on.
unsigned usableCores() {
#if defined(__linux__)
    cpu_set_t cores;
    if (sched_getaffinity(0, sizeof cores, &cores) == 0) return static_cast<unsigned>(CPU_COUNT(&cores));
#endif
    return std::thread::hardware_concurrency();
}

bool clearOf(const std::vector<Rect>& added, const Rect& area) {
    for (const Rect& r : added)
        if (rectOverlapArea(r, area) > 0) return false;
    return true;
}

}  // namespace

void placeLabels(const std::vector<GameObject>& objects, const LayoutSettings& settings, MapLayout& layout) {
    auto next = [&](std::size_t from) {
        while (from < objects.size() && objects[from].label.empty()) ++from;
        return from;
    };
    auto requestOf = [&](std::size_t i) {
        return requestFor(objects[i], i < settings.labelOffsets.size() ? settings.labelOffsets[i] : std::nullopt);
    };
    bool twoCores = settings.secondThread && usableCores() >= 2;
    LabelSearch search;
    std::optional<Helper> helper;
    std::vector<Rect> added;  // since the helper's last request, or since it started
    // The helper is started the first time it is due; where no thread can
    // be started, every label is searched for here.
    auto helperReady = [&] {
        if (!helper) {
            try {
                helper.emplace(layout.obstacles);
                added.clear();
            } catch (const std::system_error&) {
                twoCores = false;
                return false;
            }
        }
        return true;
    };
    // The next search goes to the helper after a costly one, while its
    // answers are kept; after four in a row are not, for one label in 16.
    PauseAfterMisses<4, 16> speculation;
    for (std::size_t i = next(0); i < objects.size();) {
        const std::size_t j = next(i + 1);
        const LabelRequest request = requestOf(i);
        const bool ahead =
            twoCores && j < objects.size() && search.lastWasCostly() && speculation.due() && helperReady();
        LabelRequest following{};
        if (ahead) {
            following = requestOf(j);
            helper->start(added, following);
        }
        const PixelPoint corner = request.placeWith(search, layout.obstacles);
        layout.objects[i].label = registerLabel(objects[i], request, corner, settings.leaders, layout.obstacles, added);
        if (!ahead) {
            i = j;
            continue;
        }
        // The helper's answer stands only where this label and its leader,
        // all that was added since it started, lie clear of what can change
        // it; else it is not waited for, and the next object's label is
        // searched for here, while the helper goes on to the one after.
        std::optional<PixelPoint> guess;
        if (clearOf(added, following.readArea())) guess = helper->result();
        speculation.tried(guess.has_value());
        if (!guess) {
            i = j;
            continue;
        }
        layout.objects[j].label = registerLabel(objects[j], following, *guess, settings.leaders, layout.obstacles, added);
        i = next(j + 1);
    }
}

}  // namespace orvex
