// The output map image: its creation with the colour-role palette, and
// writing it as an interlaced GIF.
#pragma once

#include "app/resource_file.h"
#include "base/file_source.h"
#include "base/map_frame.h"
#include "base/options.h"
#include "base/reporter.h"
#include "quantise/octree.h"
#include "render/canvas.h"

#include <optional>
#include <string>

namespace orvex {

// A canvas of the frame's image size whose colour roles have their entries:
// the resource file's colours first (read through files) (colour mode only), then the defaults
// of the roles still unset; the octree's colours follow them; the line
// styles are filled. Throws a RunError when gd cannot make the image.
// The colour file as read goes to colorFile, when one was read.
Canvas createOutputImage(const Options& options, const MapFrame& frame, FileSource& files, const Octree& octree,
                         Reporter& reporter, std::optional<ColorFileText>& colorFile);

// The output file name: -f, else "orvex.gif".
std::string outputFileName(const Options& options);

// Writes a map's GIF to the file `name`: nothing (gd could not encode the
// map) is the error ENOMEM. The file is written beside the target and
// renamed over it when complete, so an earlier file survives a
// failed write; the new file takes the permission bits (and, where it may,
// the group) of the file it replaces, or else 0666 less the umask. A target
// that is a symbolic link, not a regular file or a file with more than one
// hard link is written through. Throws a RunError (exit status 1) naming the
// system's reason when the file cannot be created or written.
void writeMapFile(const std::string& name, const std::optional<std::string>& gif);

}  // namespace orvex
