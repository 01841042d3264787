#include "render/canvas.h"

namespace orvex {

void setLineStyles(Canvas& canvas, bool colorMap) {
    const RoleColors& roles = canvas.colorIndex;
    LineStyles& styles = canvas.lineStyles;
    styles.course = {roles[COURSECOLOR], gdTransparent, gdTransparent, gdTransparent};
    styles.grid = {roles[GRIDCOLOR], colorMap ? roles[GRIDCOLOR] : gdTransparent};
    styles.leader = {roles[LEADERCOLOR], roles[LEADERCOLOR]};
}

}  // namespace orvex
