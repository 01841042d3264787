// The colour roles of the map: what each drawn thing is coloured by, named
// by its key in the colour resource file.
#pragma once

#include <array>

namespace orvex {

// A colour role without a palette entry.
constexpr int COLOR_UNSET = 999;

// The colour roles, in the order the resource reader tests a line for
// their keys.
enum ColorRole {
    BACKGROUNDCOLOR,
    FOREGROUNDCOLOR,
    TITLETEXTCOLOR,
    LABELTEXTCOLOR,
    AXESCOLOR,
    AXESTEXTCOLOR,
    LEGENDCOLOR,
    LEGENDTEXTCOLOR,
    LEADERCOLOR,
    COURSECOLOR,
    GRIDCOLOR,
    LOCUSCOLOR,
    COLOR_ROLE_COUNT
};

// The resource file key of each role, indexed by ColorRole.
extern const std::array<const char*, COLOR_ROLE_COUNT> COLOR_ROLE_KEYS;

// The palette index of every role, COLOR_UNSET where a role has none.
using RoleColors = std::array<int, COLOR_ROLE_COUNT>;

inline RoleColors unsetRoleColors() {
    RoleColors roles;
    roles.fill(COLOR_UNSET);
    return roles;
}

}  // namespace orvex
