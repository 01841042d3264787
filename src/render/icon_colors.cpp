#include "render/icon_colors.h"

#include "imageops/blend.h"
#include "imageops/palette.h"

namespace orvex {

MapIcons::MapIcons(const Canvas& canvas, bool colorMap)
    : map_(canvas.image.get()), foreground_(colorMap ? canvas.colorIndex[FOREGROUNDCOLOR] : COLOR_UNSET) {}

gdImagePtr MapIcons::icon(const ObjectType& type, int k) {
    const gdImagePtr icon = type.turned->icon(k);
    // Types may share their turned icons: each is recoloured once.
    if (foreground_ != COLOR_UNSET && recolored_.insert(icon).second) {
        const int f = resolveColor(icon, map_->red[foreground_], map_->green[foreground_], map_->blue[foreground_]);
        const int white = resolveColor(icon, 255, 255, 255);
        replaceColor(icon, white, f, false);
    }
    return icon;
}

}  // namespace orvex
