#include "render/icon_colors.h"

#include "imageops/blend.h"
#include "imageops/palette.h"

#include <set>

void recolorIcons(Catalogue& catalogue, const Canvas& canvas, bool colorMap) {
    const int foreground = canvas.colorIndex[FOREGROUNDCOLOR];
    if (!colorMap || foreground == COLOR_UNSET) return;
    const gdImagePtr map = canvas.image.get();
    // Types may share their turned icons: each set is recoloured once.
    std::set<const TurnedIcons*> done;
    for (ObjectType& type : catalogue.types) {
        if (!done.insert(type.turned.get()).second) continue;
        for (ImagePtr& icon : type.turned->icons) {
            const int f = resolveColor(icon.get(), map->red[foreground], map->green[foreground], map->blue[foreground]);
            const int white = resolveColor(icon.get(), 255, 255, 255);
            replaceColor(icon.get(), white, f, false);
        }
    }
}
