// nux_graphics: the window, the fixed 1024 x 768 projection, pictures, labels and drawing.
// Game code reaches the screen only through these records and the screens of nux_core.h.
#pragma once

#include <cstdint>  // uint32_t, int32_t

#include "kwutil.h"

//---- Records

struct Sprite;
typedef void (*NUX_DrawFunc)(Sprite* item);

// The header of every drawable item. Game code animates items by writing these fields.
struct Sprite {
    float width, height;  // unscaled size in logical units
    float x, y;           // top-left corner, or centre when centered is 1
    float scaleX, scaleY;
    float alpha;     // starts at 100; above 1 draws fully opaque
    float rotation;  // degrees, clockwise on screen, about (x, y)
    int dragging;
    int centered;
    int additive;  // 1: drawn with additive blending
    float red, green, blue;
    int dragOffsetX, dragOffsetY;
    NUX_DrawFunc draw;  // called once per frame by the screen renderer; null = skipped
};

// A picture: its sprite and the texture it shares with every load of its path. The picture is
// laid out as in a padded square of side T (its top-left w x h corner), and drawn from the part
// of the texture that can show (see part).
struct Image {
    Sprite sprite;
    uint32_t pixelWidth, pixelHeight;
    uint32_t textureSize;  // side T of the padded square, a power of two (0 for an empty picture)
    uint32_t texture;      // GL texture name (0 when headless)
    uint32_t part;         // the engine's record of where its texels sit in texture (0: none)
};

// One cached texture per distinct file path.
struct ImageEntry {
    KWString* name;
    uint32_t texture;
    uint32_t width, height;
    uint32_t textureSize;
    uint32_t part;
};

// One FreeType face; face is null when the font file could not be opened, and then every
// label made with it is empty and transparent.
struct Font {
    void* face;  // FT_Face, kept opaque so game code never sees FreeType
};

// A text rendered once into its own square texture, drawn like a picture.
struct Label {
    Sprite sprite;
    Font* font;
    float color[4];  // the creation colour, kept but not applied when drawing
    int32_t textWidth, textHeight;
    int32_t pixelSize;
    int32_t textureSize;
    uint32_t texture;
    int32_t hasTexture;
};

//---- Window and frame

extern int32_t curXRes, curYRes;
extern int32_t num_video_modes;
extern int32_t lastTriangleCount;

// Opens SDL video and the window with its GL context; 1 on success, 0 after printing why.
int NUX_Init(int width, int height, char fullScreen, const char* caption);

// Starts the engine with no window and no GL at all (the harness's fast mode): pictures are
// still decoded for their sizes, nothing is uploaded or drawn.
void NUX_InitHeadless(int width, int height);

void initNUX(int width, int height);
void resizeNUX(int width, int height);
void NUX_SetVideoMode(int modeIndex, int fullScreen);
int NUX_GetNumVideoModes();
int NUX_GetModeWidth(int modeIndex);
int NUX_GetModeHeight(int modeIndex);
int NUX_GetXRes();
int NUX_GetYRes();

// Called by NUX_Update around the drawing of all screens.
void NUX_BeginRender();
void NUX_EndRender();

// Closes the window and SDL; called once at exit.
void NUX_Shutdown();

// Triangles and draw calls sent to the GL since the current (or, between frames, the last) frame
// began; 0 headless.
int NUX_GetTriangleCount();
int NUX_GetDrawCallCount();

// The colour the frame is cleared to (0..1). Scenes that paint a sky set it.
void NUX_SetClearColor(float red, float green, float blue, float alpha);

// Clears and presents one frame at once, so the window shows the clear colour before loading.
void NUX_PresentClearFrame();

// Asks for the next presented frame to be saved as an RGB PNG at path (harness screenshots).
void NUX_RequestScreenshot(const char* path);

// Whether a frame the same as the one on screen is left undrawn and unpresented, and a frame that
// changes in a small part only redrawn there: 1 always, 0 never, -1 (the default) on the real
// clock only, so that the harness draws and presents every frame.
void NUX_SetSkipUnchangedFrames(int on);
// How many screenshots have been written so far; one that could not be read back or written
// is not counted (and is named on standard error).
int NUX_GetScreenshotsSaved();

// Reads the back buffer (the frame about to be presented) as RGBA rows, top row first,
// into a caller buffer of curXRes * curYRes * 4 bytes. 0 when headless.
int NUX_ReadFramePixels(unsigned char* rgba);

//---- Pictures

Image* NUX_LoadImage(const char* path);
// Loads the pictures of paths into one shared texture, so that long runs of them on a screen
// draw together; later loads of those paths find them cached. Paths already loaded are left as
// they are. For pictures drawn many times in turn (a flock's two wing frames).
void NUX_LoadImageSet(const char* const* paths, int count);
Image* NUX_MakeImageFromExisting(ImageEntry* entry);
void NUX_InitSprite(Sprite* sprite);
// Sets a sprite's tint, each component 0 to 1 (above 1 draws as 1). Game code animates with it.
void NUX_SetSpriteColor(Sprite* sprite, float red, float green, float blue);
// Moves a sprite to (x, y) in screen pixels: its top-left corner, or its centre when centered.
void NUX_SetSpritePosition(Sprite* sprite, float x, float y);
uint32_t nextPowerofTwo(uint32_t v);
void GL_RGBA_to_Float(float r, float g, float b, float a, float* out);

// The texture cache, one entry per distinct path (null before the first load).
extern KWArray* imageEntries;

//---- Drawing

// Screen callbacks: every parameter comes from the item's sprite fields.
void NUX_DrawImage(Sprite* item);
void NUX_DrawEmptySprite(Sprite* item);

// Direct drawing, colours 0..255.
void NUX_DrawTintedImage(Image* image, float x, float y, float width, float height, float rotation, float red,
                         float green, float blue, float alpha);
void NUX_DrawZImage(Image* image, float a, float b, float c, float d, float e, float z);
void NUX_DrawRect(float x, float y, float width, float height, float red, float green, float blue, float alpha,
                  float rotation);
void NUX_VerticalGradientRect(float x, float y, float width, float height, float r1, float g1, float b1, float a1,
                              float r2, float g2, float b2, float a2);
void NUX_GradientRect(float x, float y, float width, float height, float r1, float g1, float b1, float a1, float r2,
                      float g2, float b2, float a2);

//---- Fonts and labels

Font* NUX_CreateFont(const char* path);
Label* NUX_CreateLabel(Font* font, const char* text, int textureSize, int pixelSize, float red, float green, float blue,
                       float alpha);
void NUX_SetLabelText(Label* label, const char* text);
void NUX_DrawLabel(Sprite* item);
int NUX_GetTextWidth(Font* font, const char* text, int pixelSize);
int NUX_GetOptimalTextSize(Font* font, const char* text, int maxWidth);
