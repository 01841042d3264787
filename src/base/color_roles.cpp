#include "base/color_roles.h"

namespace orvex {

const std::array<const char*, COLOR_ROLE_COUNT> COLOR_ROLE_KEYS = {
    "BACKGROUNDCOLOR", "FOREGROUNDCOLOR", "TITLETEXTCOLOR", "LABELTEXTCOLOR",
    "AXESCOLOR",       "AXESTEXTCOLOR",   "LEGENDCOLOR",    "LEGENDTEXTCOLOR",
    "LEADERCOLOR",     "COURSECOLOR",     "GRIDCOLOR",      "LOCUSCOLOR",
};

}  // namespace orvex
