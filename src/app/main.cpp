// orvex: reads a game scenario on standard input and draws its map as an
// interlaced GIF.
#include "app/orvex.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return runOrvex(args, stdin, stdout, stderr);
}
