// Where gd's own messages go. gd reports through one handler for the
// whole process, with no context of its own; so while runs are under way
// the handler is one that sends each message to the run of the thread that
// caused it (with -d), or drops it (without). Messages of threads outside a
// run are printed on standard error as gd's own handler prints them, and
// once the last run ends gd's own handler is back.
#pragma once

#include <functional>
#include <string_view>

namespace orvex {

class GdMessages {
public:
    // While this lives, gd's messages from this thread go to show, marked
    // with gd's priority ("GD Warning: ..."); dropped when show is empty.
    explicit GdMessages(std::function<void(std::string_view)> show);
    ~GdMessages();
    GdMessages(const GdMessages&) = delete;
    GdMessages& operator=(const GdMessages&) = delete;

private:
    std::function<void(std::string_view)> show_;
    GdMessages* outer_;  // the route this one stands in for on its thread
};

}  // namespace orvex
