// nux_local: state shared between the engine's own units; nothing outside engine/ includes it.
#pragma once

#include "nux_graphics.h"
#include "nux_input.h"

#include <cstddef>  // size_t
#include <cstdint>  // uint64_t

union SDL_Event;

// The picture every scene draws, in its own pixels: the projection's size, and what the desktop
// scales into the window or the screen.
constexpr int LOGICAL_WIDTH = 1024;
constexpr int LOGICAL_HEIGHT = 768;

// 1 once a window with a GL context exists: the window, its events, its modes and the largest
// texture the context takes depend on it; drawing goes through nuxDraw instead.
extern int nuxHasGL;

// The FreeType library handle (FT_Library), created by NUX_Init or NUX_InitHeadless.
extern void* GL_FTLibrary;

// Where a picture's texels sit in its texture and which quad shows them: the picture's visible
// part with a one-texel transparent margin (or its own edge), so that the quad fills only what can
// show. Made by the picture cache, drawn by the GL set.
struct NuxPicturePart {
    uint32_t texture;                // GL texture name; 0 for a picture with nothing visible
    float left, top, right, bottom;  // the quad, in the picture's pixels from its top-left corner
    float s0, t0, s1, t1;            // texture coordinates at the quad's left, top, right and bottom
};

// The part numbered `part` (Image::part), or null for 0 and for numbers never handed out.
const NuxPicturePart* nuxPicturePart(uint32_t part);

//---- The drawing backend (chosen in nux_graphics)

// The drawing operations of this run, chosen once: the GL set when NUX_Init opens the window,
// the null set (nothing drawn, no frame to read) headless and once the window is gone. The public
// drawing functions hand their work to it without asking which one it is.
struct NuxDrawOps {
    void (*setClearColor)(float red, float green, float blue, float alpha);
    void (*beginRender)();
    void (*endRender)();
    void (*presentClearFrame)();
    int (*readFramePixels)(unsigned char* rgba);
    void (*drawImage)(Sprite* item);
    void (*drawEmptySprite)(Sprite* item);
    void (*drawLabel)(Sprite* item);
    void (*drawTintedImage)(Image* image, float x, float y, float width, float height, float rotation, float red,
                            float green, float blue, float alpha);
    void (*drawZImage)(Image* image, float z);
    void (*drawRect)(float x, float y, float width, float height, float red, float green, float blue, float alpha,
                     float rotation);
    // One quad whose four corners take colours a, b, c, d (RGBA, 0..255) clockwise from the top left.
    void (*gradientQuad)(float x, float y, float width, float height, const float* a, const float* b, const float* c,
                         const float* d);
    // A texture of width x height RGBA texels, rows bottom first (none when texels is null): its name.
    // With rectangle 1 it is a rectangle texture, addressed in texels and of any size (only where
    // textureRectangles says so). The null set makes none and answers 0.
    unsigned int (*makePictureTexture)(const unsigned char* texels, uint32_t width, uint32_t height, int rectangle);
    // A label's side x textureRows texture: made from texels when hadTexture is 0, otherwise updated in
    // place in its first `rows` rows (top first), which hold everything the old and the new text cover.
    // The null set makes none: the label keeps the name it had.
    unsigned int (*labelTexture)(int hadTexture, unsigned int old, const unsigned char* texels, int side,
                                 int textureRows, int rows);
    // The longest texture side the context takes; 0 when there is none.
    int (*maxTextureSide)();
    // 1 when pictures may have rectangle textures: sized to their texels rather than to powers of two,
    // and sampled exactly as a power-of-two texture is when their coordinates are that texture's
    // scaled by its sides.
    int (*textureRectangles)();
};
extern const NuxDrawOps* nuxDraw;

// The two sets (nux_graphics_gl, nux_graphics_null).
extern const NuxDrawOps nuxGLDrawing;
extern const NuxDrawOps nuxNullDrawing;

// The GL set's label texture and drawing (nux_graphics_label), which know a label's texture.
// A new texture, bound, filtered linearly with clamped edges (so that filtering at one edge never
// blends in the opposite one), with no texels yet: its name. For pictures and labels alike.
unsigned int nuxGLNewTexture();
unsigned int nuxGLLabelTexture(int hadTexture, unsigned int old, const unsigned char* texels, int side, int textureRows,
                               int rows);
void nuxGLDrawLabel(Sprite* item);

// The GL set's one way to draw: the quad with local corners (left, top) and (right, bottom), turned
// by the item's rotation about its (x, y) and moved there, tinted with its colour (each component
// clamped to 0..1), textured with texture (0: untextured) from (s0, t0) at its top left to (s1, t1)
// at its bottom right, blended additively when additive is 1. Consecutive quads of the same
// texture and blending go out as one draw, in the order given.
void nuxGLSpriteQuad(const Sprite* item, unsigned int texture, int additive, float left, float top, float right,
                     float bottom, float s0, float t0, float s1, float t1);

// Sends the quads gathered so far; called before anything that must see them drawn.
void nuxGLFlush();

// Whether pictures loaded from now on may have rectangle textures where the context has them (1,
// the default) or always have normalised ones, as where it has none (0: the tests draw both ways).
void nuxGLAllowTextureRectangles(int allowed);

// Called before a texture is made or written: draws that may show it as it was go out first, and
// the next frame is drawn whole, never skipped as unchanged.
void nuxGLTextureChanging();

// The window's content is no longer the frame last drawn (shown again after being minimised or
// covered, resized, or presented outside a frame): the next frame is drawn whole.
void nuxGLFrameLost();

// Called after every present (copied 1: by copying part of the back buffer, 0: by a swap): notes
// whether the back buffer still holds the frame just presented, which a frame that changes in a
// small part only then redraws there.
void nuxGLPresented(int copied);

//---- The window (nux_graphics), for the GL set's frame bracket

// 1 while the window is minimised on the real clock: the frame draws nothing.
int nuxWindowHidden();

// What the GL set did with a frame: drew it to be presented whole (a swap), drew it to be presented
// by copying one rectangle of the back buffer, left the window as it was (the frame was the same
// as the one shown), or drew nothing (the window is minimised).
enum { NUX_FRAME_HIDDEN = 0, NUX_FRAME_DRAWN = 1, NUX_FRAME_DRAWN_PART = 2, NUX_FRAME_UNCHANGED = 3 };

// Ends a frame as the GL set left it (NUX_FRAME_*): saves the screenshot asked for and presents a
// drawn frame (for NUX_FRAME_DRAWN_PART the window pixels rect: x and y from the bottom left,
// width, height), then holds the loop to its pace (resting while minimised or paused).
void nuxFrameDone(int shown, const int* rect);

// 1 while a screenshot waits for the next drawn frame: that frame is drawn whole.
int nuxScreenshotPending();

// How many presents ago the back buffer held what it holds now (GLX_EXT_buffer_age): 1 when it
// still holds the frame just presented; 0 when the driver does not say.
int nuxBackBufferAge();

// Copies the window pixels rect (as for nuxFrameDone) of the back buffer to the window, leaving
// the back buffer as it is (GLX_MESA_copy_sub_buffer); 0 when the driver cannot. A null rect only
// asks whether it can.
int nuxPresentPart(const int* rect);

// Presents the back buffer at once.
void nuxSwapBuffers();

//---- The desktop (nux_desktop)

// Called by NUX_Init before the window opens: sets the window's icon, remembers the desktop's size
// and the window's (the size asked for, or smaller to fit the work area), and gives the size to
// open (the desktop's when starting full screen).
void nuxDesktopBeforeWindow(int width, int height, int fullScreen, int* openWidth, int* openHeight);

// SDL's video mode flags beside SDL_OPENGL: full screen, or a window the player can resize.
unsigned int nuxWindowFlags(int fullScreen);

// The work area of the screen a window manager leaves beside its panels, in pixels; 0 when no
// window manager says (then the screen is all there is).
int nuxWorkArea(int* width, int* height);

// Called by NUX_Init once the window is open: opens the first gamepad, if any.
void nuxDesktopAfterWindow();

// Called by resizeNUX: the viewport (and, where bars remain, the scissor) for the picture.
void nuxApplyPictureRect(int width, int height);

// Called by NUX_BeginRender before the frame's clear: paints the bars black.
void nuxClearBars();

// Limits drawing (the clear too) to the window pixels of box (left, top, right, bottom, in the
// picture's pixels), widened by margin window pixels, and gives them in rect (as for
// nuxFrameDone); 1 when done, 0 when the box covers so much of the picture that drawing it whole
// costs about the same. nuxApplyPictureRect undoes it.
int nuxScissorToPart(const float* box, int margin, int* rect);

// Called by NUX_InputUpdate for every window event before the key tables: full-screen keys,
// focus changes and the gamepad. 1 when the event was taken.
int nuxDesktopEvent(const SDL_Event* event);

// Waits up to seconds for something to arrive from the window system (an event to pump); 0 at once
// when there is no connection to wait on.
int nuxWaitForWindowEvent(double seconds);

// Moves the window's top-left corner to (x, y) on the screen, where the platform allows it.
void nuxPlaceWindow(int x, int y);

// Handles a key press or release exactly as a key of the keyboard (the gamepad's buttons).
void nuxKeyEvent(NUX_Key key, int pressed);

//---- Missing files (nux_missing)

// Notes a data file that could not be loaded (missing, unreadable or damaged); each path is kept
// once. Called by the picture, sound, music and font loaders, which then go on with an empty item.
void nuxNoteMissingFile(const char* path);

//---- The game's hooks (nux_hooks)

// Each asks the hook the shell handed over, or calls nothing and gives the neutral answer (see
// NUX_GameHooks) when that hook is unset.
int nuxGameMode();
void nuxSwitchGameMode(int mode);
float nuxFrameTime();
void nuxOwlFlapUp();
void nuxOwlFlapDown();
void nuxOwlSwoop();
void nuxOwlSwoopStop();
void nuxGamePause();
int nuxGamePaused();
int nuxIntroMusicPlaying();
float nuxGameOverElapsed();
float nuxGameBeatElapsed();
void nuxMusicOpening(int opening);
void nuxSorvelAborted();

//---- Replays (nux_replay)

// Called by NUX_InputUpdate before the frame's events: a recording closes the previous frame's
// line (and writes the state hash when a second of play has passed); a replay checks the frame
// that ran, moves on to the next, holds a watched replay to its pace, and ends at the last frame.
void nuxReplayFrameStart();
// The recorded events of the replay's current frame, one per call: 0 none left, 1 a key (key,
// pressed), 2 a window close, 3 the pause taken on focus loss.
int nuxReplayNextEvent(NUX_Key* key, int* pressed);
// What a recording notes: each key handled, a window close, the pause on focus loss.
void nuxReplayNoteKey(NUX_Key key, int pressed);
void nuxReplayNoteQuit();
void nuxReplayNoteFocus();
// A music value the scenes read ('m' position, 'l' length): noted when recording, the recorded
// one when replaying, else value itself.
double nuxReplayMusic(char kind, double value);
// 1 while a replay is watched in the window (live keys only steer it); stopping it (Escape, Q, the
// window closed) quits; P holds it and lets it go.
int nuxReplayWatched();
void nuxReplayStop();
void nuxReplayToggleHold();
int nuxReplayHeld();

// The game's state hash and summary for the replays (nux_hooks; 0 and "" without a game).
uint64_t nuxGameStateHash();
void nuxGameSummary(char* text, size_t size);

//---- The browser (nux_web, built only for the web page)

#if defined(__EMSCRIPTEN__)
// Gives the browser its turn (painting, input, sound) and returns at its next display frame.
void nuxWebWaitForFrame();
// Starts listening for the player's first key press, which the browser asks for before any
// page may make sound; that press wakes the audio context OpenAL made.
void nuxWebListenForFirstKey();
// 1 once that key press has come.
int nuxWebFirstKeyPressed();
// Ends the program for good once the window is shut: the page then shows its word of thanks
// instead of a frozen last frame (a page cannot close its own tab).
void nuxWebQuit();
#endif
