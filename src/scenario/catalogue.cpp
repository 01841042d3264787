#include "scenario/catalogue.h"

#include "base/c_text.h"
#include "base/geometry.h"
#include "base/run_error.h"
#include "imageops/blend.h"
#include "imageops/palette.h"
#include "imageops/rotate.h"
#include "scenario/picture_file.h"

#include <cstdio>
#include <map>
#include <memory>
#include <utility>

namespace {

void writeDebugIcon(gdImagePtr icon, const std::string& name, Reporter& reporter) {
    int size = 0;
    GdMemory gif(gdImageGifPtr(icon, &size));
    std::FILE* file = std::fopen(name.c_str(), "wb");
    bool ok = gif && file && std::fwrite(gif.get(), 1, static_cast<std::size_t>(size), file) == static_cast<std::size_t>(size);
    if (file) ok = std::fclose(file) == 0 && ok;
    if (!ok) reporter.warn("**** Warning unable to write " + cText(name) + "\n");
}

// The -v line of an icon picture: "\tPATH read", or " not read".
void reportIcon(const std::string& path, const char* outcome, Reporter& reporter) {
    std::string line = "\t";
    line += cText(path);
    line += outcome;
    reporter.report(line);
}

ImagePtr loadIcon(FileSource& files, const std::string& path, const Options& options, Reporter& reporter) {
    Picture picture = loadPicture(files, path, options.limits);
    if (picture.status == PictureStatus::loaded) {
        if (options.verbose) reportIcon(path, " read", reporter);
        return std::move(picture.image);
    }
    if (options.verbose && picture.status != PictureStatus::cannotOpen) reportIcon(path, " not read\n", reporter);
    const char* problem = picture.status == PictureStatus::tooLarge ? "picture too large" : "unable to load source image";
    throw RunError(std::string("**** Error ") + problem + " " + cText(path) + "\n**** Aborting\n", 1);
}

// Black on white like the bitonal map: black and white pixels exchanged.
void swapBlackAndWhite(gdImagePtr icon) {
    const int black = resolveColor(icon, 0, 0, 0);
    const int white = resolveColor(icon, 255, 255, 255);
    replaceColor(icon, black, white, true);
}

// The icon pictures of the catalogue, each decoded (and on a bitonal map
// swapped) and its colours counted once however many types name it.
class IconPictures {
public:
    struct Picture {
        ImagePtr image;
        std::vector<ImageColor> colors;
    };

    const Picture& load(FileSource& files, const std::string& path, const Options& options, Reporter& reporter) {
        Picture& picture = byPath_[path];
        if (!picture.image) {
            picture.image = loadIcon(files, path, options, reporter);
            if (!options.colorMap) swapBlackAndWhite(picture.image.get());
            picture.colors = imageColors(picture.image.get());
        } else if (options.verbose) {
            reportIcon(path, " read", reporter);
        }
        return picture;
    }

private:
    std::map<std::string, Picture> byPath_;
};

double readIconScale(ScenarioInput& input, const std::string& typeName, gdImagePtr icon, double maxSide) {
    const double scale = input.readDouble("icon scale");
    const double side = rotatedIconSide(gdImageSX(icon), gdImageSY(icon), scale);
    if (!(scale > 0) || side < 1 || side > maxSide)
        throw RunError("**** Error bad icon scale for type " + cText(typeName) + "\n", 1);
    return scale;
}

}  // namespace

std::string debugIconFileName(const std::string& typeName, int k) {
    std::string name = cText(typeName);
    for (char& c : name)
        if (c == '/' || c == '\\') c = '_';
    return name + std::to_string(k) + ".gif";
}

Catalogue readObjectTypes(ScenarioInput& input, const Options& options, FileSource& files, Octree& octree,
                          Reporter& reporter) {
    if (options.verbose) reporter.report("reading game object images\n");
    Catalogue catalogue;
    IconPictures pictures;
    std::map<std::pair<std::string, double>, std::shared_ptr<TurnedIcons>> turnedBy;
    for (;;) {
        const auto name = input.token("type name");
        if (!name) {
            reporter.warn("**** Warning scenario ends before the closing * of the object types\n");
            return catalogue;
        }
        if ((*name)[0] == '*') return catalogue;

        ObjectType type;
        type.name = *name;
        const std::string path = picturePath(options.imageDir, input.requireToken("icon file name"));
        const IconPictures::Picture& picture = pictures.load(files, path, options, reporter);
        const gdImagePtr icon = picture.image.get();
        octreeAddColors(octree, picture.colors, OCTREE_BUDGET);

        const double scale = readIconScale(input, type.name, icon, options.limits.maxIconSide);
        std::shared_ptr<TurnedIcons>& turned = turnedBy[{path, scale}];
        const bool turnNow = !turned;
        if (turnNow) turned = std::make_shared<TurnedIcons>();
        type.turned = turned;
        if (turnNow) {
            std::vector<double> angles(FACINGS);
            for (int k = 0; k < FACINGS; ++k) angles[k] = k * STEP_ANGLE;
            std::vector<ImagePtr> icons = rotateIconAll(icon, angles, scale, options.resampling, options.colorMap);
            std::move(icons.begin(), icons.end(), turned->icons.begin());
        }
        for (int k = 0; k < FACINGS; ++k) {
            if (options.debug) writeDebugIcon(type.icon(k), debugIconFileName(type.name, k), reporter);
            if (options.verbose) reporter.report(".");
        }
        if (options.verbose) reporter.report("\n");
        type.iconHalfWidth = gdImageSX(type.icon(0)) / 2;

        if (input.readInt("legend flag") != 0) catalogue.legend.push_back(static_cast<int>(catalogue.types.size()));
        catalogue.types.push_back(std::move(type));
    }
}
