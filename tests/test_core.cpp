// Tests of screens and their draw lists: drawing order, the visibility rule, skipped items,
// and the adders' bookkeeping. Runs headless: what is checked is who gets drawn, and when.

#include "nux.h"

#include <gtest/gtest.h>
#include <string>

//---- Helpers

static std::string drawLog;

// A draw callback that writes the item's tag (kept in its rotation field) into the log.
static void logDraw(Sprite* item)
{
    drawLog += (char)item->rotation;
}

static Sprite* taggedItem(Screen* screen, char tag)
{
    Sprite* item = NUX_AddRect(screen, 0, 0, 1, 1);
    item->rotation = (float)tag;
    item->draw = logDraw;
    return item;
}

// Hides every screen earlier tests of this process made, so only the test's own ones draw.
static void hideAllScreens()
{
    for (int i = 0; nuxScreens && i < nuxScreens->count; i++)
        ((Screen*)nuxScreens->items[i])->visible = 0;
}

//---- Screens

TEST(Screens, VisibleScreensDrawInCreationOrderAndItemsInInsertionOrder)
{
    hideAllScreens();
    Screen* back = NUX_CreateScreen();
    Screen* front = NUX_CreateScreen();
    EXPECT_EQ(back->visible, 1) << "screens start visible";
    taggedItem(front, 'c');
    taggedItem(back, 'a');
    taggedItem(front, 'd');
    taggedItem(back, 'b');
    drawLog.clear();
    NUX_RenderImages();
    EXPECT_EQ(drawLog, "abcd");

    // Only a visible flag of exactly 1 draws.
    back->visible = 2;
    drawLog.clear();
    NUX_RenderImages();
    EXPECT_EQ(drawLog, "cd");
    front->visible = 0;
    back->visible = 0;
}

TEST(Screens, ItemsWithoutDrawStayButAreSkipped)
{
    hideAllScreens();
    Screen* screen = NUX_CreateScreen();
    taggedItem(screen, 'x');
    Sprite* silent = taggedItem(screen, 'y');
    taggedItem(screen, 'z');
    silent->draw = nullptr;
    drawLog.clear();
    NUX_RenderScreen(screen);
    EXPECT_EQ(drawLog, "xz");
    EXPECT_EQ(screen->items->count, 3);
    screen->visible = 0;
}

TEST(Screens, AddersFillTheirItems)
{
    hideAllScreens();
    Screen* screen = NUX_CreateScreen();
    Sprite* rect = NUX_AddRect(screen, 1, 2, 30, 40);
    EXPECT_EQ(rect->x, 1.0f);
    EXPECT_EQ(rect->height, 40.0f);
    EXPECT_EQ(rect->alpha, 100.0f);
    EXPECT_EQ(rect->red, 1.0f);
    EXPECT_EQ(rect->draw, (NUX_DrawFunc)NUX_DrawEmptySprite);

    Image* image = NUX_AddImage(screen, "data/no-such-picture.png");
    EXPECT_EQ(image->sprite.draw, (NUX_DrawFunc)NUX_DrawImage);

    // A source of no particles adds only itself; a source of 3 adds 3 images, then itself.
    int before = screen->items->count;
    ParticleSource* none = NUX_AddParticleSource(screen, 0, "data/no-such-feather.png");
    EXPECT_EQ(screen->items->count, before + 1);
    ParticleSource* three = NUX_AddParticleSource(screen, 3, "data/no-such-feather.png");
    EXPECT_EQ(screen->items->count, before + 5);
    EXPECT_EQ(screen->items->items[screen->items->count - 1], (void*)&three->sprite);
    EXPECT_EQ(three->particles->count, 3);
    EXPECT_EQ(none->sprite.draw, (NUX_DrawFunc)NUX_UpdateParticleSource);

    Label* label = NUX_AddLabelWithColor(screen, NUX_CreateFont("data/no-such-font.ttf"), "0 POINTS", 256, 28, 1.0f,
                                         0.5f, 0.0f, 1.0f);
    EXPECT_FLOAT_EQ(label->color[0], 1.0f);
    EXPECT_FLOAT_EQ(label->color[1], 0.5f);
    EXPECT_FLOAT_EQ(label->color[2], 0.0f);
    EXPECT_FLOAT_EQ(label->color[3], 1.0f);
    EXPECT_EQ(label->sprite.draw, (NUX_DrawFunc)NUX_DrawLabel);
    screen->visible = 0;
}

TEST(Screens, DragRecordsTheGrabOffset)
{
    Sprite sprite = {};
    sprite.x = 10.7f;
    sprite.y = -3.2f;
    curMouseX = 20;
    curMouseY = 5;
    NUX_StartDrag(&sprite);
    EXPECT_EQ(sprite.dragging, 1);
    EXPECT_EQ(sprite.dragOffsetX, 9);  // 9.3 truncated
    EXPECT_EQ(sprite.dragOffsetY, 8);  // 8.2 truncated
    NUX_StopDrag(&sprite);
    EXPECT_EQ(sprite.dragging, 0);
}
