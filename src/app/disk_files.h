// The run's files as the program reads and writes them: on disk by their
// paths, relative to the current directory, with the identity of every file
// opened for reading kept, so that the run can tell when its map would
// replace one of them.
#pragma once

#include "base/file_source.h"

#include <sys/types.h>

#include <cstdio>
#include <string>
#include <vector>

namespace orvex {

class DiskFiles : public FileSource, public FileSink {
public:
    FilePtr open(const std::string& path, std::string& reason) override;
    bool write(const std::string& name, std::string_view bytes) override;

    // Counts an open stream as an input too (the scenario on standard input).
    void noteInput(std::FILE* stream);

    // True when path names (links followed) a file this run has read.
    bool isInput(const std::string& path) const;

private:
    struct Identity {
        dev_t device;
        ino_t inode;
    };
    std::vector<Identity> inputs_;
};

// True when path names (links followed) the file that stream writes to.
bool isSameFile(const std::string& path, std::FILE* stream);

}  // namespace orvex
