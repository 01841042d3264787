// Where a run reads its files: the pictures its scenario names and the
// colour resource file. The program opens them on disk; a caller that
// embeds the run may hand them over from elsewhere.
#pragma once

#include "base/file_handle.h"

#include <string>
#include <string_view>

namespace orvex {

class FileSource {
public:
    virtual ~FileSource() = default;

    // The file at path, open for reading from its start; null when it cannot
    // be opened, with why in reason (the system's text, as "No such file or
    // directory").
    virtual FilePtr open(const std::string& path, std::string& reason) = 0;
};

// Where a run puts the files it makes besides its map: with -d, the turned
// icons. The program writes them into the current directory; a caller that
// embeds the run may keep them.
class FileSink {
public:
    virtual ~FileSink() = default;

    // Makes the file `name` hold `bytes`; true when it does.
    virtual bool write(const std::string& name, std::string_view bytes) = 0;
};

}  // namespace orvex
