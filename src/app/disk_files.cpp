#include "app/disk_files.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace orvex {

namespace {

bool statOfStream(std::FILE* stream, struct stat& status) {
    const int fd = stream ? ::fileno(stream) : -1;
    return fd >= 0 && ::fstat(fd, &status) == 0;
}

}  // namespace

FilePtr DiskFiles::open(const std::string& path, std::string& reason) {
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        reason = std::error_code(errno, std::generic_category()).message();
        return nullptr;
    }
    noteInput(file.get());
    return file;
}

bool DiskFiles::write(const std::string& name, std::string_view bytes) {
    std::FILE* file = std::fopen(name.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

void DiskFiles::noteInput(std::FILE* stream) {
    struct stat status {};
    if (statOfStream(stream, status)) inputs_.push_back({status.st_dev, status.st_ino});
}

bool DiskFiles::isInput(const std::string& path) const {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return false;
    return std::any_of(inputs_.begin(), inputs_.end(), [&](const Identity& input) {
        return input.device == status.st_dev && input.inode == status.st_ino;
    });
}

bool isSameFile(const std::string& path, std::FILE* stream) {
    struct stat target {}, written {};
    return ::stat(path.c_str(), &target) == 0 && statOfStream(stream, written) &&
           target.st_dev == written.st_dev && target.st_ino == written.st_ino;
}

}  // namespace orvex
