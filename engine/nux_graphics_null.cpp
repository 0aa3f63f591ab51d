// nux_graphics_null: the drawing set of a run with no window (the harness's fast mode, and after
// the window is gone): nothing is drawn, no texture is made, and no frame can be read.

#include "nux_graphics.h"
#include "nux_local.h"

static void nullClearColor(float, float, float, float) {}
static void nullFrame() {}
static int nullReadFramePixels(unsigned char*)
{
    return 0;
}
static void nullDrawSprite(Sprite*) {}
static void nullDrawTintedImage(Image*, float, float, float, float, float, float, float, float, float) {}
static void nullDrawZImage(Image*, float) {}
static void nullDrawRect(float, float, float, float, float, float, float, float, float) {}
static void nullGradientQuad(float, float, float, float, const float*, const float*, const float*, const float*) {}
static unsigned int nullMakePictureTexture(const unsigned char*, uint32_t, uint32_t, int)
{
    return 0;
}
static int nullMaxTextureSide()
{
    return 0;
}
static unsigned int nullLabelTexture(int, unsigned int texture, const unsigned char*, int, int, int)
{
    return texture;
}

const NuxDrawOps nuxNullDrawing = {
    .setClearColor = nullClearColor,
    .beginRender = nullFrame,
    .endRender = nullFrame,
    .presentClearFrame = nullFrame,
    .readFramePixels = nullReadFramePixels,
    .drawImage = nullDrawSprite,
    .drawEmptySprite = nullDrawSprite,
    .drawLabel = nullDrawSprite,
    .drawTintedImage = nullDrawTintedImage,
    .drawZImage = nullDrawZImage,
    .drawRect = nullDrawRect,
    .gradientQuad = nullGradientQuad,
    .makePictureTexture = nullMakePictureTexture,
    .labelTexture = nullLabelTexture,
    .maxTextureSide = nullMaxTextureSide,
    .textureRectangles = nullMaxTextureSide,  // 0: no textures at all
};
