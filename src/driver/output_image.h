// The output map image: its creation with the colour-role palette, the line
// styles drawn with, and writing it as an interlaced GIF.
#pragma once

#include "driver/run_settings.h"
#include "quantise/octree.h"
#include "render/obstacles.h"

// Creates settings.outputImage at the header's size and gives the colour
// roles their entries: the resource file's colours first (colour mode
// only), then the defaults of the roles still unset; the octree's colours
// follow them.
void createOutputImage(RunSettings& settings, const Octree& octree);

// Fills settings.lineStyles from the final colour roles.
void setLineStyles(RunSettings& settings);

// The output file name: -f, else "orvex.gif".
std::string outputFileName(const RunSettings& settings);

// Writes settings.outputImage as an interlaced GIF and releases it; with -d
// the obstacles are outlined in it first. The file
// is written beside the target and renamed over it when complete, so an
// earlier file survives a failed write; a target that is a symbolic link or
// not a regular file is written through. Throws a RunError (exit status 1)
// when the file cannot be created or written.
void writeOutputImage(RunSettings& settings, const ObstacleList& obstacles);
