// nux_graphics_gl: the GL drawing set. Frames are cleared, drawn and finished here, and every
// sprite, label and rectangle becomes a quad; consecutive quads of one texture and blending go
// out as one draw from client-side vertex arrays, in the order they were drawn. A frame's draws
// are gathered first and compared with the frame on screen: on the real clock an unchanged frame
// is neither drawn nor presented, and a frame that changes only in a small part (the pause
// sign's shimmer) is drawn again only there and copied out of the back buffer, which a copy
// (unlike a swap) leaves holding the frame on screen.

#include "nux_graphics.h"
#include "nux_clock.h"  // the harness draws every frame
#include "nux_local.h"

#include <GL/gl.h>  // fixed-function drawing
#include <cmath>    // sinf, cosf, M_PI: turning quads
#include <cstdlib>  // malloc, free
#include <cstring>  // memcpy, strstr: the extensions
#include <vector>   // which textures are rectangles

//---- State

static bool frameHidden = false;   // this frame draws nothing: the window is minimised
static int32_t drawCallCount = 0;  // draws sent since the frame began
static float clearColour[4] = {0.0f, 0.0f, 0.0f, 0.0f};
// -1: unchanged frames are skipped on the real clock only (the harness draws every frame); 0 or 1
// as NUX_SetSkipUnchangedFrames set it.
static int skipUnchanged = -1;

//---- Helpers

// Drops the quads gathered so far: a minimised window draws nothing.
static void batchDiscard();

// The frame's gathering (see "Frame records" below).
static void recordStart();
static void recordGoLive();
static int recordFinish(int* presentRect);

static float clamp01(float v)
{
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

//---- Frame

static void glSetClearColor(float red, float green, float blue, float alpha)
{
    glClearColor(red, green, blue, alpha);
    clearColour[0] = red;
    clearColour[1] = green;
    clearColour[2] = blue;
    clearColour[3] = alpha;
}

static void glBeginRender()
{
    nuxGLFlush();  // anything drawn outside a frame goes out before the clear, as it was drawn
    frameHidden = nuxWindowHidden();
    if (frameHidden) {
        nuxGLFrameLost();  // the window may come back with nothing in it
        return;
    }
    glLoadIdentity();
    lastTriangleCount = 0;
    drawCallCount = 0;
    recordStart();
}

static void glEndRender()
{
    if (frameHidden) {
        batchDiscard();
        frameHidden = false;
        nuxFrameDone(NUX_FRAME_HIDDEN, nullptr);
        return;
    }
    nuxGLFlush();
    int presentRect[4];
    const int shown = recordFinish(presentRect);
    if (shown != NUX_FRAME_UNCHANGED)
        glFinish();
    nuxFrameDone(shown, presentRect);
}

static void glPresentClearFrame()
{
    nuxGLFlush();
    nuxGLFrameLost();
    nuxClearBars();
    glClear(GL_COLOR_BUFFER_BIT);
    nuxSwapBuffers();
}

static int glReadFramePixels(unsigned char* rgba)
{
    nuxGLFlush();
    recordGoLive();  // a frame still being gathered is read as drawn so far
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    size_t rowBytes = (size_t)curXRes * 4;
    glReadPixels(0, 0, curXRes, curYRes, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    // GL hands the rows bottom first; flip them so row 0 is the top of the screen.
    unsigned char* tmp = (unsigned char*)malloc(rowBytes);
    if (!tmp)
        return 0;
    for (int32_t y = 0; y < curYRes / 2; y++) {
        unsigned char* a = rgba + (size_t)y * rowBytes;
        unsigned char* b = rgba + (size_t)(curYRes - 1 - y) * rowBytes;
        memcpy(tmp, a, rowBytes);
        memcpy(a, b, rowBytes);
        memcpy(b, tmp, rowBytes);
    }
    free(tmp);
    return 1;
}

int NUX_GetDrawCallCount()
{
    return drawCallCount;
}

//---- Textures

// The largest texture side the context takes, asked once.
static int glMaxTextureSide()
{
    static GLint contextMax = 0;
    if (contextMax <= 0)
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &contextMax);
    return contextMax;
}

// Rectangle textures (GL_ARB_texture_rectangle): any size, addressed in texels. Every desktop Mesa
// has them; WebGL has not.
#if !defined(GL_TEXTURE_RECTANGLE_ARB)
#define GL_TEXTURE_RECTANGLE_ARB 0x84F5
#endif

// The names of the rectangle textures made so far: a draw binds each name to its own target.
// Textures are never deleted, so a name keeps its target.
static std::vector<bool> rectangleNames;

static GLenum textureTarget(unsigned int name)
{
    return name < rectangleNames.size() && rectangleNames[name] ? GL_TEXTURE_RECTANGLE_ARB : GL_TEXTURE_2D;
}

// 0 when the tests have pictures load into normalised textures, as where there are no rectangles.
static int rectanglesAllowed = 1;

void nuxGLAllowTextureRectangles(int allowed)
{
    rectanglesAllowed = allowed ? 1 : 0;
}

static int glTextureRectangles()
{
#if defined(__EMSCRIPTEN__)
    return 0;
#else
    if (!rectanglesAllowed)
        return 0;
    static int has = -1;
    if (has < 0) {
        const char* extensions = (const char*)glGetString(GL_EXTENSIONS);
        has = extensions &&
              (strstr(extensions, "GL_ARB_texture_rectangle") || strstr(extensions, "GL_NV_texture_rectangle"));
    }
    return has;
#endif
}

// A new texture of the target, bound, filtered linearly with clamped edges: its name.
static unsigned int newTexture(GLenum target)
{
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(target, name);
    glTexParameteri(target, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(target, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return name;
}

unsigned int nuxGLNewTexture()
{
    return newTexture(GL_TEXTURE_2D);
}

// A texture of width x height texels (none when texels is null), a rectangle one when asked (the
// cache asks only where glTextureRectangles allows): its name.
static unsigned int glMakePictureTexture(const unsigned char* texels, uint32_t width, uint32_t height, int rectangle)
{
    nuxGLTextureChanging();
    const GLenum target = rectangle ? GL_TEXTURE_RECTANGLE_ARB : GL_TEXTURE_2D;
    const unsigned int name = newTexture(target);
    if (target == GL_TEXTURE_RECTANGLE_ARB) {
        if (rectangleNames.size() <= name)
            rectangleNames.resize((size_t)name + 1, false);
        rectangleNames[name] = true;
    }
    if (texels) {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(target, 0, GL_RGBA, (GLsizei)width, (GLsizei)height, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    }
    glBindTexture(target, 0);
    return name;
}

//---- Drawing

// One corner of a quad as the GL set sends it.
struct QuadVertex {
    float x, y;
    float s, t;
    float red, green, blue, alpha;
};

// Quads gathered for one draw: every one of them with the same texture, blending and colour. A
// colour shared by the whole draw is the GL's current colour, as a sprite's always was (a colour
// per corner goes through the rasteriser otherwise and can come out a level apart); only quads
// whose corners differ in colour (gradients) send a colour per corner. Each quad is two
// triangles, (0, 1, 3) and (1, 2, 3) of its corners clockwise from the top left, the way the GL
// splits a quad of its own.
static const int BATCH_QUADS = 1024;
static QuadVertex batch[BATCH_QUADS * 6];
static int batchVertices = 0;
static unsigned int batchTexture = 0;
static int batchAdditive = 0;
static int batchCornerColours = 0;  // 1: a colour per corner; 0: batchColour for all
static float batchColour[4];

static void batchDiscard()
{
    batchVertices = 0;
}

// Sends count vertices of one draw: texture (0: none), blending, and either a colour per corner or
// colour for all.
static void sendDraw(const QuadVertex* vertices, int count, unsigned int texture, int additive, int cornerColours,
                     const float* colour)
{
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(QuadVertex), &vertices[0].x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(QuadVertex), &vertices[0].s);
    if (cornerColours) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_FLOAT, sizeof(QuadVertex), &vertices[0].red);
    } else {
        glDisableClientState(GL_COLOR_ARRAY);
        glColor4f(colour[0], colour[1], colour[2], colour[3]);
    }
    const GLenum target = textureTarget(texture);
    if (texture) {
        glEnable(target);
        glBindTexture(target, texture);
    }
    if (additive)
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDrawArrays(GL_TRIANGLES, 0, count);
    drawCallCount++;
    if (additive)
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (texture)
        glDisable(target);
}

//---- Frame records

// A frame's draws as gathered, before any is sent: each draw's state and the range of its vertices.
// Two records take turns: the one being gathered and the one on screen, which the next frame is
// compared with.
struct FrameDraw {
    unsigned int texture;
    int additive, cornerColours;
    float colour[4];
    int first, count;  // vertices in the record's list
};
static const int RECORD_QUADS = 4096;
static const int RECORD_DRAWS = 1024;
struct FrameRecord {
    QuadVertex vertices[RECORD_QUADS * 6];
    FrameDraw draws[RECORD_DRAWS];
    int vertexCount, drawCount;
    float clearColour[4];
};
static FrameRecord records[2];
static int gathering = 0;            // the record being gathered; the other one is on screen
static bool recording = false;       // this frame's draws are being gathered, none sent yet
static bool shownValid = false;      // the other record is what the window shows
static bool backBufferKept = false;  // the last present left that frame in the back buffer too

// Room is kept for this many window pixels around a changed part: the quads' edges are drawn
// with several samples a pixel, and the texture filter reaches half a texel beyond a quad.
static const int DAMAGE_MARGIN = 2;

static void recordStart()
{
    FrameRecord& r = records[gathering];
    r.vertexCount = 0;
    r.drawCount = 0;
    memcpy(r.clearColour, clearColour, sizeof clearColour);
    recording = true;
}

// Sends a record's draws in the order they were gathered.
static void sendRecord(const FrameRecord& r)
{
    for (int i = 0; i < r.drawCount; i++) {
        const FrameDraw& d = r.draws[i];
        sendDraw(r.vertices + d.first, d.count, d.texture, d.additive, d.cornerColours, d.colour);
    }
}

// Sends every draw gathered so far after the frame's clear; the rest of the frame is sent as it
// comes, and the next frame is drawn whole (this one was not compared).
static void recordGoLive()
{
    if (!recording)
        return;
    recording = false;
    shownValid = false;
    nuxClearBars();
    glClear(GL_COLOR_BUFFER_BIT);
    sendRecord(records[gathering]);
}

// Adds the batch to the record; false when the record has no room left for it.
static bool recordBatch()
{
    FrameRecord& r = records[gathering];
    if (r.drawCount >= RECORD_DRAWS || r.vertexCount + batchVertices > RECORD_QUADS * 6)
        return false;
    FrameDraw& d = r.draws[r.drawCount++];
    d.texture = batchTexture;
    d.additive = batchAdditive;
    d.cornerColours = batchCornerColours;
    memcpy(d.colour, batchColour, sizeof batchColour);
    d.first = r.vertexCount;
    d.count = batchVertices;
    memcpy(r.vertices + r.vertexCount, batch, sizeof(QuadVertex) * (size_t)batchVertices);
    r.vertexCount += batchVertices;
    return true;
}

static bool sameDrawState(const FrameDraw& a, const FrameDraw& b)
{
    return a.texture == b.texture && a.additive == b.additive && a.cornerColours == b.cornerColours &&
           memcmp(a.colour, b.colour, sizeof a.colour) == 0;
}

// Widens box (left, top, right, bottom, in the picture's pixels) to take in the quad's corners.
static void takeInQuad(const QuadVertex* quad, float* box)
{
    for (int i = 0; i < 6; i++) {
        box[0] = quad[i].x < box[0] ? quad[i].x : box[0];
        box[1] = quad[i].y < box[1] ? quad[i].y : box[1];
        box[2] = quad[i].x > box[2] ? quad[i].x : box[2];
        box[3] = quad[i].y > box[3] ? quad[i].y : box[3];
    }
}

// Compares the gathered frame with the one on screen. 0: they differ in their draws or their
// order (the frame is drawn whole); 1: identical; 2: the same draws with some quads moved or
// recoloured, all of them inside box.
static int compareRecords(const FrameRecord& now, const FrameRecord& shown, float* box)
{
    if (now.drawCount != shown.drawCount || now.vertexCount != shown.vertexCount ||
        memcmp(now.clearColour, shown.clearColour, sizeof now.clearColour) != 0)
        return 0;
    box[0] = box[1] = 1e30f;
    box[2] = box[3] = -1e30f;
    bool changed = false;
    for (int i = 0; i < now.drawCount; i++) {
        const FrameDraw &a = now.draws[i], &b = shown.draws[i];
        if (a.first != b.first || a.count != b.count || a.texture != b.texture || a.additive != b.additive)
            return 0;
        const bool recoloured = !sameDrawState(a, b);
        for (int q = a.first; q < a.first + a.count; q += 6) {
            if (!recoloured && memcmp(now.vertices + q, shown.vertices + q, sizeof(QuadVertex) * 6) == 0)
                continue;
            changed = true;
            takeInQuad(now.vertices + q, box);
            takeInQuad(shown.vertices + q, box);
        }
    }
    return changed ? 2 : 1;
}

// Ends the frame's gathering: sends it whole, only its changed part, or nothing. Gives what
// nuxFrameDone is to do with it, and in presentRect the window pixels to present when they are
// not the whole frame.
static int recordFinish(int* presentRect)
{
    if (!recording)
        return NUX_FRAME_DRAWN;  // sent as it came
    recording = false;
    const bool mayRest = skipUnchanged < 0 ? !NUX_IsVirtualClock() : skipUnchanged == 1;
    float box[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    const int same = mayRest && shownValid && !nuxScreenshotPending()
                         ? compareRecords(records[gathering], records[1 - gathering], box)
                         : 0;
    if (same == 1)
        return NUX_FRAME_UNCHANGED;
    // A small change is presented by copying it alone from the back buffer, which then still holds
    // the whole frame for the next small change; the first such frame is drawn whole and copied
    // whole, since a swap leaves the back buffer's content unknown.
    int shown = NUX_FRAME_DRAWN;
    bool part = false;
    if (same == 2 && nuxPresentPart(nullptr)) {
        part = backBufferKept && nuxScissorToPart(box, DAMAGE_MARGIN, presentRect);
        if (part) {
            shown = NUX_FRAME_DRAWN_PART;
        } else if (nuxScissorToPart(box, DAMAGE_MARGIN, presentRect)) {
            nuxApplyPictureRect(curXRes, curYRes);
            presentRect[0] = presentRect[1] = 0;
            presentRect[2] = curXRes;
            presentRect[3] = curYRes;
            shown = NUX_FRAME_DRAWN_PART;
        }
    }
    if (!part)
        nuxClearBars();
    glClear(GL_COLOR_BUFFER_BIT);
    sendRecord(records[gathering]);
    if (part)
        nuxApplyPictureRect(curXRes, curYRes);
    gathering = 1 - gathering;
    shownValid = true;
    return shown;
}

void nuxGLFrameLost()
{
    shownValid = false;
}

void nuxGLPresented(int copied)
{
    // A copy leaves the back buffer as it was; after a swap only the driver knows. Asked only
    // where frames may be drawn in part: the harness's frames are always drawn whole.
    const bool mayRest = skipUnchanged < 0 ? !NUX_IsVirtualClock() : skipUnchanged == 1;
    backBufferKept = copied || (mayRest && nuxBackBufferAge() == 1);
}

void NUX_SetSkipUnchangedFrames(int on)
{
    skipUnchanged = on < 0 ? -1 : (on ? 1 : 0);
    shownValid = false;
}

void nuxGLFlush()
{
    if (batchVertices == 0)
        return;
    if (frameHidden) {
        batchDiscard();
        return;
    }
    if (recording && !recordBatch())
        recordGoLive();
    if (!recording)
        sendDraw(batch, batchVertices, batchTexture, batchAdditive, batchCornerColours, batchColour);
    batchVertices = 0;
}

void nuxGLTextureChanging()
{
    nuxGLFlush();
    // Draws gathered so far may show the texture as it was: they go out now, and the next frame is
    // drawn whole.
    recordGoLive();
    shownValid = false;
}

// Adds one quad: corners xy (four x, y pairs clockwise from the top left), with their texture
// coordinates st and colours rgba (four each).
static void batchQuad(unsigned int texture, int additive, const float* xy, const float* st, const float* rgba)
{
    int cornerColours = 0;
    for (int i = 4; i < 16; i++)
        cornerColours |= rgba[i] != rgba[i % 4];
    const bool sameColour = cornerColours
                                ? batchCornerColours == 1
                                : batchCornerColours == 0 && memcmp(batchColour, rgba, sizeof batchColour) == 0;
    if (batchVertices > 0 && (texture != batchTexture || additive != batchAdditive || !sameColour))
        nuxGLFlush();
    if (batchVertices + 6 > BATCH_QUADS * 6)
        nuxGLFlush();
    batchTexture = texture;
    batchAdditive = additive;
    batchCornerColours = cornerColours;
    memcpy(batchColour, rgba, sizeof batchColour);
    lastTriangleCount += 2;
    static const int ORDER[6] = {0, 1, 3, 1, 2, 3};
    for (int corner : ORDER) {
        QuadVertex& v = batch[batchVertices++];
        v.x = xy[corner * 2];
        v.y = xy[corner * 2 + 1];
        v.s = st[corner * 2];
        v.t = st[corner * 2 + 1];
        v.red = rgba[corner * 4];
        v.green = rgba[corner * 4 + 1];
        v.blue = rgba[corner * 4 + 2];
        v.alpha = rgba[corner * 4 + 3];
    }
}

// The corners of the local rectangle (left, top)-(right, bottom) turned by rotation degrees and
// moved to (x, y), as the GL's own rotation and translation would place them.
static void placeCorners(float x, float y, float rotation, float left, float top, float right, float bottom, float* xy)
{
    const float local[8] = {left, top, right, top, right, bottom, left, bottom};
    if (rotation == 0.0f) {
        for (int i = 0; i < 4; i++) {
            xy[i * 2] = x + local[i * 2];
            xy[i * 2 + 1] = y + local[i * 2 + 1];
        }
        return;
    }
    const float s = sinf((float)(rotation * M_PI / 180.0)), c = cosf((float)(rotation * M_PI / 180.0));
    for (int i = 0; i < 4; i++) {
        const float lx = local[i * 2], ly = local[i * 2 + 1];
        xy[i * 2] = x + (c * lx - s * ly);
        xy[i * 2 + 1] = y + (s * lx + c * ly);
    }
}

static void spreadColor(float red, float green, float blue, float alpha, float* rgba)
{
    const float one[4] = {clamp01(red), clamp01(green), clamp01(blue), clamp01(alpha)};
    for (int i = 0; i < 4; i++)
        memcpy(rgba + i * 4, one, sizeof one);
}

void nuxGLSpriteQuad(const Sprite* item, unsigned int texture, int additive, float left, float top, float right,
                     float bottom, float s0, float t0, float s1, float t1)
{
    float xy[8], rgba[16];
    const float st[8] = {s0, t0, s1, t0, s1, t1, s0, t1};
    placeCorners(item->x, item->y, item->rotation, left, top, right, bottom, xy);
    spreadColor(item->red, item->green, item->blue, item->alpha, rgba);
    batchQuad(texture, additive, xy, st, rgba);
}

// Draws the picture as its sprite places it, width x height being the size its padded square of
// side T would take (the quad of the whole square, as the picture is laid out in it).
static void drawPicture(const Image* image, const Sprite* place, float ox, float oy, float squareWidth,
                        float squareHeight, int additive)
{
    const NuxPicturePart* part = nuxPicturePart(image->part);
    if (!part) {  // a picture the cache did not make: its whole texture, as a padded square
        nuxGLSpriteQuad(place, image->texture, additive, ox, oy, ox + squareWidth, oy + squareHeight, 0.0f, 1.0f, 1.0f,
                        0.0f);
        return;
    }
    if (part->texture == 0 || image->textureSize == 0)
        return;
    const float sx = squareWidth / (float)image->textureSize, sy = squareHeight / (float)image->textureSize;
    nuxGLSpriteQuad(place, part->texture, additive, ox + part->left * sx, oy + part->top * sy, ox + part->right * sx,
                    oy + part->bottom * sy, part->s0, part->t0, part->s1, part->t1);
}

static void glDrawImage(Sprite* item)
{
    Image* image = (Image*)item;
    if (item->alpha < 0.001f)
        return;
    if (item->x - item->width * item->scaleX > (float)curXRes || item->x + item->width * item->scaleX < 0.0f ||
        item->y - item->height > (float)curYRes || item->y + item->height * item->scaleY < 0.0f)
        return;
    const float T = (float)image->textureSize;
    float ox = 0.0f, oy = 0.0f;
    if (item->centered == 1) {
        ox = -(float)image->pixelWidth * item->scaleX / 2.0f;
        oy = -(float)image->pixelHeight * item->scaleY / 2.0f;
    }
    drawPicture(image, item, ox, oy, T * item->scaleX, T * item->scaleY, item->additive == 1);
}

static void glDrawEmptySprite(Sprite* item)
{
    if (item->alpha <= 0.0f)
        return;
    float ox = 0.0f, oy = 0.0f;
    if (item->centered == 1) {
        ox = -item->width / 2.0f;
        oy = -item->height / 2.0f;
    }
    const float w = item->width * item->scaleX, h = item->height * item->scaleY;
    nuxGLSpriteQuad(item, 0, item->additive == 1, ox, oy, ox + w, oy + h, 0.0f, 0.0f, 0.0f, 0.0f);
}

// A sprite record carrying only a place, a turn and a colour (0..255), for the direct drawings.
static Sprite placed(float x, float y, float rotation, float red, float green, float blue, float alpha)
{
    Sprite place = {};
    place.x = x;
    place.y = y;
    place.rotation = rotation;
    float c[4];
    GL_RGBA_to_Float(red, green, blue, alpha, c);
    place.red = c[0];
    place.green = c[1];
    place.blue = c[2];
    place.alpha = c[3];
    return place;
}

static void glDrawTintedImage(Image* image, float x, float y, float width, float height, float rotation, float red,
                              float green, float blue, float alpha)
{
    const Sprite place = placed(x, y, rotation, red, green, blue, alpha);
    drawPicture(image, &place, 0.0f, 0.0f, width, height, 0);
}

static void glDrawZImage(Image* image, float z)
{
    // Depth only matters to the clipping of the 2D projection, which keeps -1 to 1.
    if (z >= -1.0f && z <= 1.0f)
        glDrawImage(&image->sprite);
}

static void glDrawRect(float x, float y, float width, float height, float red, float green, float blue, float alpha,
                       float rotation)
{
    const Sprite place = placed(x, y, rotation, red, green, blue, alpha);
    nuxGLSpriteQuad(&place, 0, 0, 0.0f, 0.0f, width, height, 0.0f, 0.0f, 0.0f, 0.0f);
}

// One quad whose four corners take colours a, b, c, d (0..255) in the order given.
static void glGradientQuad(float x, float y, float width, float height, const float* a, const float* b, const float* c,
                           const float* d)
{
    float xy[8], rgba[16];
    const float st[8] = {0.0f};
    placeCorners(x, y, 0.0f, 0.0f, 0.0f, width, height, xy);
    const float* corners[4] = {a, b, c, d};
    for (int i = 0; i < 4; i++) {
        float f[4];
        GL_RGBA_to_Float(corners[i][0], corners[i][1], corners[i][2], corners[i][3], f);
        for (int k = 0; k < 4; k++)
            rgba[i * 4 + k] = clamp01(f[k]);
    }
    batchQuad(0, 0, xy, st, rgba);
}

//---- The set

const NuxDrawOps nuxGLDrawing = {
    .setClearColor = glSetClearColor,
    .beginRender = glBeginRender,
    .endRender = glEndRender,
    .presentClearFrame = glPresentClearFrame,
    .readFramePixels = glReadFramePixels,
    .drawImage = glDrawImage,
    .drawEmptySprite = glDrawEmptySprite,
    .drawLabel = nuxGLDrawLabel,
    .drawTintedImage = glDrawTintedImage,
    .drawZImage = glDrawZImage,
    .drawRect = glDrawRect,
    .gradientQuad = glGradientQuad,
    .makePictureTexture = glMakePictureTexture,
    .labelTexture = nuxGLLabelTexture,
    .maxTextureSide = glMaxTextureSide,
    .textureRectangles = glTextureRectangles,
};
