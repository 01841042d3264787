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

namespace orvex {

namespace {

void writeDebugIcon(gdImagePtr icon, const std::string& name, FileSink& sink, Reporter& reporter) {
    int size = 0;
    GdMemory gif(gdImageGifPtr(icon, &size));
    const bool ok = gif && sink.write(name, std::string_view(static_cast<const char*>(gif.get()), static_cast<std::size_t>(size)));
    if (!ok) {
        reporter.warn("**** Warning unable to write " + cText(name) + "\n",
                      {Finding::Severity::warning, Finding::Origin::commandLine, "", 0,
                       "unable to write the turned icon " + cText(name), "with -d the icons go into the current directory"});
    }
}

// The -v line of an icon picture: "\tPATH read", or " not read".
void reportIcon(const std::string& path, const char* outcome, Reporter& reporter) {
    std::string line = "\t";
    line += cText(path);
    line += outcome;
    reporter.report(line);
}

ImagePtr loadIcon(FileSource& files, const std::string& path, int line, const Options& options, Reporter& reporter) {
    Picture picture = loadPicture(files, path, options.limits);
    if (picture.status == PictureStatus::loaded) {
        if (options.verbose) reportIcon(path, " read", reporter);
        return std::move(picture.image);
    }
    if (options.verbose && picture.status != PictureStatus::cannotOpen) reportIcon(path, " not read\n", reporter);
    const std::string problem =
        picture.status == PictureStatus::tooLarge ? "picture too large" : "unable to load source image";
    throw RunError("**** Error " + problem + " " + cText(path) + "\n**** Aborting\n", 1,
                   scenarioFinding(Finding::Severity::error, line, problem + " " + cText(path) + ": " + picture.problem,
                                   "check the name, and -i for the directory"));
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
    std::shared_ptr<const IconPicture> load(FileSource& files, const std::string& path, int line,
                                            const Options& options, Reporter& reporter) {
        std::shared_ptr<IconPicture>& picture = byPath_[path];
        if (!picture) {
            picture = std::make_shared<IconPicture>();
            picture->image = loadIcon(files, path, line, options, reporter);
            if (!options.colorMap) swapBlackAndWhite(picture->image.get());
            picture->colors = imageColors(picture->image.get());
        } else if (options.verbose) {
            reportIcon(path, " read", reporter);
        }
        return picture;
    }

private:
    std::map<std::string, std::shared_ptr<IconPicture>> byPath_;
};

void checkIconScale(const TypeText& type, gdImagePtr icon, double maxSide) {
    const double side = rotatedIconSide(gdImageSX(icon), gdImageSY(icon), *type.scale);
    if (!(*type.scale > 0) || side < 1 || side > maxSide) {
        throw RunError("**** Error bad icon scale for type " + cText(type.name) + "\n", 1,
                       scenarioFinding(Finding::Severity::error, type.scaleLine,
                                       "bad icon scale for type " + cText(type.name),
                                       "the turned icon, its diagonal times the scale, must be 1 to " +
                                           std::to_string(static_cast<long>(maxSide)) + " pixels a side"));
    }
}

}  // namespace

TurnedIcons::TurnedIcons(std::shared_ptr<const IconPicture> picture, double scale, bool resample, bool colorMap)
    : picture_(std::move(picture)),
      scale_(scale),
      resample_(resample),
      colorMap_(colorMap),
      side_(static_cast<int>(
          rotatedIconSide(gdImageSX(picture_->image.get()), gdImageSY(picture_->image.get()), scale))) {}

gdImagePtr TurnedIcons::icon(int k) {
    ImagePtr& turned = icons_[static_cast<std::size_t>(k)];
    if (!turned) turned = rotateIcon(picture_->image.get(), k * STEP_ANGLE, scale_, resample_, colorMap_);
    return turned.get();
}

std::string debugIconFileName(const std::string& typeName, int k) {
    std::string name = cText(typeName);
    for (char& c : name)
        if (c == '/' || c == '\\') c = '_';
    return name + std::to_string(k) + ".gif";
}

Catalogue loadCatalogue(const ScenarioText& scenario, const Options& options, FileSource& files, FileSink& sink,
                        Reporter& reporter) {
    if (options.verbose) reporter.report("reading game object images\n");
    Catalogue catalogue;
    IconPictures pictures;
    std::map<std::pair<std::string, double>, std::shared_ptr<TurnedIcons>> turnedBy;
    // Each type as far as it was read: only the last one can stop early.
    for (const TypeText& text : scenario.types) {
        if (!text.icon) break;
        ObjectType type;
        type.name = text.name;
        const std::string path = picturePath(options.imageDir, *text.icon);
        std::shared_ptr<const IconPicture> picture = pictures.load(files, path, text.iconLine, options, reporter);
        if (!text.scale) break;
        checkIconScale(text, picture->image.get(), options.limits.maxIconSide);
        std::shared_ptr<TurnedIcons>& turned = turnedBy[{path, *text.scale}];
        if (!turned)
            turned = std::make_shared<TurnedIcons>(picture, *text.scale, options.resampling, options.colorMap);
        type.turned = turned;
        for (int k = 0; k < FACINGS; ++k) {
            if (options.debug) writeDebugIcon(turned->icon(k), debugIconFileName(type.name, k), sink, reporter);
            if (options.verbose) reporter.report(".");
        }
        if (options.verbose) reporter.report("\n");
        type.iconHalfWidth = turned->side() / 2;
        if (!text.legendFlag) break;
        if (*text.legendFlag != 0) catalogue.legend.push_back(static_cast<int>(catalogue.types.size()));
        catalogue.types.push_back(std::move(type));
    }
    if (scenario.stop && scenario.stop->section == ScenarioSection::types) throw scenario.stop->error();
    if (!scenario.typesClosed) {
        reporter.warn("**** Warning scenario ends before the closing * of the object types\n",
                      scenarioFinding(Finding::Severity::warning, scenario.lastLine,
                                      "the scenario ends before the closing * of the object types",
                                      "end the object types with a line holding *"));
    }
    return catalogue;
}

void addPictureColors(Octree& octree, gdImagePtr background, const Catalogue& catalogue) {
    if (background) octreeAddImage(octree, background, OCTREE_BUDGET);
    for (const ObjectType& type : catalogue.types) octreeAddColors(octree, type.turned->picture().colors, OCTREE_BUDGET);
}

}  // namespace orvex
