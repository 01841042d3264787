#include "driver/color_roles.h"

#include "driver/run_settings.h"

const std::array<const char*, COLOR_ROLE_COUNT> COLOR_ROLE_KEYS = {
    "BACKGROUNDCOLOR", "FOREGROUNDCOLOR", "TITLETEXTCOLOR", "LABELTEXTCOLOR",
    "AXESCOLOR",       "AXESTEXTCOLOR",   "LEGENDCOLOR",    "LEGENDTEXTCOLOR",
    "LEADERCOLOR",     "COURSECOLOR",     "GRIDCOLOR",      "LOCUSCOLOR",
};

int allocateRoleColor(gdImagePtr image, int red, int green, int blue) {
    const int index = gdImageColorAllocate(image, red, green, blue);
    return index != -1 ? index : gdImageColorClosest(image, red, green, blue);
}
