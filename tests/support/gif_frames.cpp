#include "support/gif_frames.h"

#include <gif_lib.h>

#include <cstring>

namespace orvex {

namespace {

// The loop count of a NETSCAPE2.0 application block and the sub-block after it.
int loopsOf(const SavedImage& image) {
    for (int i = 0; i + 1 < image.ExtensionBlockCount; ++i) {
        const ExtensionBlock& block = image.ExtensionBlocks[i];
        const ExtensionBlock& next = image.ExtensionBlocks[i + 1];
        if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
            std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0 && next.ByteCount == 3 && next.Bytes[0] == 1)
            return next.Bytes[1] | (next.Bytes[2] << 8);
    }
    return -1;
}

}  // namespace

GifAnimation readGifAnimation(const std::string& path) {
    GifAnimation animation;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif) return animation;
    if (DGifSlurp(gif) == GIF_OK) {
        animation.readable = true;
        animation.width = gif->SWidth;
        animation.height = gif->SHeight;
        for (int k = 0; k < gif->ImageCount; ++k) {
            const SavedImage& image = gif->SavedImages[k];
            if (k == 0) animation.loops = loopsOf(image);
            GifFrame frame;
            frame.left = image.ImageDesc.Left;
            frame.top = image.ImageDesc.Top;
            frame.width = image.ImageDesc.Width;
            frame.height = image.ImageDesc.Height;
            GraphicsControlBlock control;
            if (DGifSavedExtensionToGCB(gif, k, &control) == GIF_OK) frame.delay = control.DelayTime;
            const ColorMapObject* colors = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
            for (int i = 0; i < frame.width * frame.height; ++i) {
                const GifColorType& c = colors->Colors[image.RasterBits[i]];
                frame.pixels.push_back({c.Red, c.Green, c.Blue});
            }
            animation.frames.push_back(std::move(frame));
        }
    }
    DGifCloseFile(gif, &error);
    return animation;
}

}  // namespace orvex
