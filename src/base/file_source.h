// Where a run reads its files: the pictures its scenario names and the
// colour resource file. The program opens them on disk; a caller that
// embeds the run may hand them over from elsewhere.
#pragma once

#include "base/file_handle.h"

#include <string>

class FileSource {
public:
    virtual ~FileSource() = default;

    // The file at path, open for reading from its start; null when it cannot
    // be opened, with the system's error number in error.
    virtual FilePtr open(const std::string& path, int& error) = 0;
};
