// What render_maps and image_map both do with the scenario files they are
// given: find their folder and their name without ".scn", read them whole,
// and show a map's messages after the scenario's name.
#pragma once

#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

// The folder a path lies in: "." for a bare name, "/" for the root.
inline std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The path without its ".scn", the stem of the files made from it.
inline std::string stemOf(const std::string& path) {
    const std::string suffix = ".scn";
    const bool hasSuffix = path.size() > suffix.size() && path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
    return hasSuffix ? path.substr(0, path.size() - suffix.size()) : path;
}

// The whole file; nothing when it cannot be opened (errno says why).
inline std::optional<std::string> readFile(const std::string& name) {
    std::ifstream stream(name, std::ios::binary);
    if (!stream) return std::nullopt;
    std::ostringstream bytes;
    bytes << stream.rdbuf();
    return bytes.str();
}

// Shows each line of text on standard error after "NAME: ".
inline void showMessages(const std::string& name, const std::string& text) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::size_t length = (end == std::string::npos ? text.size() : end) - start;
        std::fprintf(stderr, "%s: %.*s\n", name.c_str(), static_cast<int>(length), text.data() + start);
        start += length + 1;
    }
}
