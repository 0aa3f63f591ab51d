// Fuzz target: labels with arbitrary bytes as their text, rendered and measured with the game's
// font through FreeType, without a window. The first two bytes pick the pixel size and the texture
// side, so odd sizes are explored too; the rest is the text.

#include "nux_graphics.h"  // fonts, labels and measuring under test
#include <cstdint>         // uint8_t
#include <string>          // the text with its terminating zero

static Font* font = nullptr;
static Label* label = nullptr;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!font) {
        NUX_InitHeadless(1024, 768);
        font = NUX_CreateFont(FUZZ_FONT);
        label = NUX_CreateLabel(font, "", 256, 24, 255.0f, 255.0f, 255.0f, 255.0f);
    }
    if (size < 2)
        return 0;
    // Sizes from -8 to 247 and texture sides from -32 to 988: zero, negative and glyphs larger than
    // the texture included (larger textures only cost time: the game asks for 256 and 512).
    int pixelSize = (int)data[0] - 8;
    int textureSize = ((int)data[1] - 8) * 4;
    std::string text((const char*)data + 2, size - 2);  // may hold zero bytes: the text ends at the first

    label->pixelSize = pixelSize;
    label->textureSize = textureSize;
    NUX_SetLabelText(label, text.c_str());
    if (label->textWidth < 0 || label->textHeight < 0 || label->textWidth > (textureSize > 0 ? textureSize : 0))
        __builtin_trap();
    int width = NUX_GetTextWidth(font, text.c_str(), pixelSize);
    if (width < 0)
        __builtin_trap();
    // The search for the best size measures the text up to 512 times: short texts only.
    if (text.size() <= 8)
        NUX_GetOptimalTextSize(font, text.c_str(), width);
    return 0;
}
