#include "render/label_placement.h"

#include "base/pause_after_misses.h"
#include "place/label_search.h"

#include <gdfonts.h>

#include <array>
#include <atomic>
#include <exception>
#include <mutex>
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

// The objects with a label, in list order, and what each one's search is
// given, worked out when asked for.
class LabelList {
public:
    LabelList(const std::vector<GameObject>& objects, const LayoutSettings& settings)
        : objects_(objects), settings_(settings) {
        for (std::size_t i = 0; i < objects.size(); ++i)
            if (!objects[i].label.empty()) indices_.push_back(i);
    }
    std::size_t size() const { return indices_.size(); }
    // The index in the object list of the k-th label's object.
    std::size_t object(std::size_t k) const { return indices_[k]; }
    LabelRequest request(std::size_t k) const {
        const std::size_t i = indices_[k];
        return requestFor(objects_[i], i < settings_.labelOffsets.size() ? settings_.labelOffsets[i] : std::nullopt);
    }

private:
    const std::vector<GameObject>& objects_;
    const LayoutSettings& settings_;
    std::vector<std::size_t> indices_;
};

// The label at corner, with its leader where the map draws them; the
// rectangles they cover as obstacles are appended to `covered`.
PlacedLabel placedLabel(const GameObject& object, const LabelRequest& request, PixelPoint corner, bool leaders,
                        std::vector<Rect>& covered) {
    PlacedLabel placed;
    placed.corner = corner;
    placed.text = rectFromCorners(corner.x, corner.y, corner.x + request.width, corner.y + request.height);
    const Rect registered = rectGrow(placed.text, 2);
    covered.push_back(registered);
    if (leaders) {
        const PixelPoint m = nearestEdgeMidpoint(registered, object.px, object.py);
        placed.leader = Segment{m, object.anchor()};
        const Rect box = rectFromCorners(m.x, m.y, object.px, object.py);
        covered.push_back(isAxisParallel(m.x, m.y, object.px, object.py) ? rectGrow(box, 4) : box);
    }
    return placed;
}

// How many cores this process may run on.
unsigned usableCores() {
#if defined(__linux__)
    cpu_set_t cores;
    if (sched_getaffinity(0, sizeof cores, &cores) == 0) return static_cast<unsigned>(CPU_COUNT(&cores));
#endif
    return std::thread::hardware_concurrency();
}

// The labels from one of the list on, laid out by two workers: the calling
// thread, whose obstacles are the layout's, and a second one with a copy of
// its own. Each takes the next label not yet taken, at most a few past the
// last registered, searches for it among the labels registered so far,
// leaves its answer and goes on to the next. Answers are registered in list
// order, by whichever worker leaves the one that is due. An answer found
// before every label ahead of it was registered stands only where those
// labels and their leaders lie clear of what can change it. Otherwise it is
// searched for again: by the worker registering it, or, where the label is
// due while its first search is still running, by a worker free to take it
// again at once.
//
// While answers found ahead keep failing to stand, as on a pile of
// objects, a label is taken only once every label before it is registered,
// by the worker that registered the last, which holds those obstacles
// already; but for one label in 16.
class TwoWorkers {
public:
    TwoWorkers(const std::vector<GameObject>& objects, const LabelList& list, bool leaders, std::size_t first,
               MapLayout& layout)
        : objects_(objects), list_(list), leaders_(leaders), layout_(layout), answers_(list.size()),
          jobs_(list.size()), covered_(list.size()), taken_(first), registered_(first) {}

    // Lays out the labels left, or throws the failure of the first whose
    // search failed; false, having done nothing, where no second thread can
    // be started.
    bool run(LabelSearch& search) {
        const std::size_t first = registered_;
        std::thread second;
        try {
            second = std::thread([this, first, copy = layout_.obstacles]() mutable {
                LabelSearch own;
                work(1, first, own, copy);
            });
        } catch (const std::system_error&) {
            return false;
        }
        std::size_t have = work(0, first, search, layout_.obstacles);
        second.join();
        if (failure_) std::rethrow_exception(failure_);
        // The layout's obstacles end with every label.
        catchUp(have, list_.size(), layout_.obstacles);
        return true;
    }

private:
    static constexpr std::size_t FAILED = SIZE_MAX;
    // How far past the labels registered a worker may take one: answers
    // found further ahead seldom stand.
    static constexpr std::size_t AHEAD = 4;
    // How often a waiting worker looks before it sleeps, yielding its core
    // each time: at half a microsecond or so a look, about a search.
    static constexpr int LOOKS = 256;

    // An answer left by a worker: its place, or a failed search, found
    // among the labels before `among`.
    struct Answer {
        bool left = false, failed = false;
        PixelPoint corner{};
        std::size_t among = 0;
    };
    // A label taken by a worker, to be searched for among the labels before
    // `among`.
    struct Job {
        std::size_t label = 0, among = 0;
        bool retaken = false;  // taken again, as the answer first sought could not stand
    };

    // A worker's part, from the labels before `have` in its obstacles on;
    // returns how many they hold at the end. A failure outside the searches
    // stops both workers.
    std::size_t work(int worker, std::size_t have, LabelSearch& search, ObstacleIndex& obstacles) {
        try {
            while (const std::optional<Job> job = take(worker)) {
                // The labels registered when the job was taken, whose
                // obstacles were written before, under the lock.
                catchUp(have, job->among, obstacles);
                Answer answer{true, false, {}, have};
                try {
                    answer.corner = list_.request(job->label).placeWith(search, obstacles);
                } catch (...) {
                    // Searched for again in its turn, where the failure counts.
                    answer.failed = true;
                }
                leave(worker, job->label, answer, have, search, obstacles);
            }
        } catch (...) {
            stop(std::current_exception());
        }
        return have;
    }

    // Ends the layout with the failure given, unless one came first.
    void stop(std::exception_ptr failure) {
        const std::lock_guard lock(mutex_);
        if (!failure_) failure_ = std::move(failure);
        registered_ = FAILED;
        for (int worker = 0; worker < 2; ++worker) wakeIfFree(worker);
    }

    // Adds the obstacles of the labels from `have` to `to` to obstacles.
    void catchUp(std::size_t& have, std::size_t to, ObstacleIndex& obstacles) const {
        for (; have < to; ++have)
            for (const Rect& r : covered_[have]) obstacles.add(r);
    }

    // The next label for this worker, once it may take one; nothing when
    // every label is taken or a search failed. A worker that may not take
    // one yet sleeps until the other wakes it.
    std::optional<Job> take(int worker) {
        std::unique_lock lock(mutex_);
        for (;;) {
            const std::size_t done = registered_;
            if (done == FAILED) return std::nullopt;
            if (mayRetake()) {
                aheadAnswers_.tried(false);
                jobs_[done] = {done, done, true};
                return jobs_[done];
            }
            if (taken_ >= list_.size()) return std::nullopt;
            if (mayTake(worker)) {
                const std::size_t k = taken_++;
                jobs_[k] = {k, done, false};
                wakeIfFree(1 - worker);
                return jobs_[k];
            }
            asleep_[static_cast<std::size_t>(worker)] = true;
            std::atomic<unsigned>& alarm = alarms_[static_cast<std::size_t>(worker)];
            const unsigned set = alarm.load(std::memory_order_relaxed);
            lock.unlock();
            awaitChange(alarm, set);
            lock.lock();
        }
    }

    // Whether worker may take a label now, or find there is none left;
    // under the lock. While answers found ahead keep failing to stand, a
    // label is taken only once all before it are registered, by the worker
    // that registered the last.
    bool mayTake(int worker) const {
        const std::size_t done = registered_;
        if (done == FAILED || taken_ >= list_.size()) return true;
        const auto every = static_cast<std::size_t>(decltype(aheadAnswers_)::every);
        const bool paused = aheadAnswers_.pausing() && taken_ % every != 0;
        return paused ? done == taken_ && lastWorker_ == worker : taken_ < done + AHEAD;
    }

    // Whether the label due to be registered next is being searched for
    // among obstacles that lack a label that changes its answer, and not yet
    // taken again; under the lock.
    bool mayRetake() const {
        const std::size_t due = registered_;
        return due != FAILED && due < taken_ && !answers_[due].left && !jobs_[due].retaken &&
               !stands(due, jobs_[due].among);
    }

    // Wakes worker where it sleeps and may take a label now; under the lock.
    void wakeIfFree(int worker) {
        const auto w = static_cast<std::size_t>(worker);
        if (!asleep_[w] || !(mayTake(worker) || mayRetake())) return;
        asleep_[w] = false;
        alarms_[w].fetch_add(1, std::memory_order_release);
        alarms_[w].notify_one();
    }

    // Leaves the answer for label k; then, unless the other worker is at
    // it, registers every label whose turn has come and whose answer is
    // left, searching again, with the lock released, for those that do not
    // stand.
    void leave(int worker, std::size_t k, const Answer& answer, std::size_t& have, LabelSearch& search,
               ObstacleIndex& obstacles) {
        std::unique_lock lock(mutex_);
        // The first answer to a label taken again cannot stand.
        if (jobs_[k].retaken && answer.among < k) return;
        answers_[k] = answer;
        if (registering_) return;
        registering_ = true;
        for (std::size_t due = registered_;
             due < list_.size() && answers_[due].left; ++due) {
            const LabelRequest request = list_.request(due);
            std::optional<PixelPoint> corner = standing(due);
            if (!corner) {
                lock.unlock();
                try {
                    catchUp(have, due, obstacles);
                    corner = request.placeWith(search, obstacles);
                } catch (...) {
                    lock.lock();
                    registering_ = false;
                    failure_ = std::current_exception();
                    registered_ = FAILED;
                    wakeIfFree(1 - worker);
                    return;
                }
                lock.lock();
            }
            layout_.objects[list_.object(due)].label =
                placedLabel(objects_[list_.object(due)], request, *corner, leaders_, covered_[due]);
            lastWorker_ = worker;
            registered_ = due + 1;
            wakeIfFree(1 - worker);
        }
        registering_ = false;
    }

    // The answer left for label due, whose labels before are all
    // registered, where it stands; nothing where it must be searched for
    // again.
    std::optional<PixelPoint> standing(std::size_t due) {
        const Answer& answer = answers_[due];
        if (answer.failed) return std::nullopt;
        if (answer.among == due) return answer.corner;
        const bool kept = stands(due, answer.among);
        aheadAnswers_.tried(kept);
        if (!kept) return std::nullopt;
        return answer.corner;
    }

    // Whether an answer for label due, found among the labels before
    // `among`, stands once all before due are registered: where those
    // between lie clear of what can change it.
    bool stands(std::size_t due, std::size_t among) const {
        const Rect area = list_.request(due).readArea();
        for (std::size_t i = among; i < due; ++i)
            for (const Rect& r : covered_[i])
                if (rectOverlapArea(r, area) > 0) return false;
        return true;
    }

    // Waits until alarm is no longer `set`.
    static void awaitChange(const std::atomic<unsigned>& alarm, unsigned set) {
        for (int looks = 0; looks < LOOKS; ++looks) {
            if (alarm.load(std::memory_order_acquire) != set) return;
            std::this_thread::yield();
        }
        alarm.wait(set, std::memory_order_acquire);
    }

    const std::vector<GameObject>& objects_;
    const LabelList& list_;
    bool leaders_;
    MapLayout& layout_;

    // Guards all below, but the obstacles of the labels registered when a
    // worker last took one, which it reads freely.
    std::mutex mutex_;
    std::vector<Answer> answers_;
    std::vector<Job> jobs_;
    std::vector<std::vector<Rect>> covered_;  // each label's obstacles, written before it counts as registered
    std::size_t taken_;
    std::size_t registered_;  // the labels before it are registered; FAILED after a failure
    // After four answers found ahead in a row that did not stand, a label
    // is taken ahead only once in 16.
    PauseAfterMisses<4, 16> aheadAnswers_;
    int lastWorker_ = 0;                   // the worker that registered the last label
    bool registering_ = false;             // a worker is registering labels
    std::array<bool, 2> asleep_{};         // a worker waits to take a label
    std::array<std::atomic<unsigned>, 2> alarms_{};  // moved on to wake a worker
    std::exception_ptr failure_;
};

}  // namespace

void placeLabels(const std::vector<GameObject>& objects, const LayoutSettings& settings, MapLayout& layout) {
    const LabelList list(objects, settings);
    // One label after another until a search is costly: cheap ones gain
    // nothing from a second core.
    bool twoCores = settings.secondThread && usableCores() >= 2;
    LabelSearch search;
    std::vector<Rect> covered;
    for (std::size_t k = 0; k < list.size(); ++k) {
        if (twoCores && search.lastWasCostly()) {
            if (TwoWorkers(objects, list, settings.leaders, k, layout).run(search)) return;
            twoCores = false;  // no second thread: on with one
        }
        const LabelRequest request = list.request(k);
        const PixelPoint corner = request.placeWith(search, layout.obstacles);
        covered.clear();
        layout.objects[list.object(k)].label =
            placedLabel(objects[list.object(k)], request, corner, settings.leaders, covered);
        for (const Rect& r : covered) layout.obstacles.add(r);
    }
}

}  // namespace orvex
