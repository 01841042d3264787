// giftopng: converts the first image of a GIF file to a PNG file, for the
// README's gallery (make gallery): the pixels and palette as they are, the
// PNG not interlaced (smaller, and shown by every viewer) and compressed at
// gd's highest level.
// Usage: giftopng INPUT.gif OUTPUT.png
#include <gd.h>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: giftopng INPUT.gif OUTPUT.png\n");
        return 2;
    }
    std::FILE* in = std::fopen(argv[1], "rb");
    if (!in) {
        std::perror(argv[1]);
        return 1;
    }
    gdImagePtr image = gdImageCreateFromGif(in);
    std::fclose(in);
    if (!image) {
        std::fprintf(stderr, "giftopng: %s is not a readable GIF\n", argv[1]);
        return 1;
    }
    std::FILE* out = std::fopen(argv[2], "wb");
    if (!out) {
        std::perror(argv[2]);
        gdImageDestroy(image);
        return 1;
    }
    gdImageInterlace(image, 0);
    gdImagePngEx(image, out, 9);
    const bool written = std::ferror(out) == 0;
    gdImageDestroy(image);
    if (std::fclose(out) != 0 || !written) {
        std::fprintf(stderr, "giftopng: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
