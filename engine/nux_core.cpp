// nux_core: screens and their draw lists, and NUX_Update, the engine's step of every frame.

#include "nux_core.h"
#include "nux_input.h"

#include <cstdlib>  // calloc

//---- State

KWArray* nuxScreens = nullptr;
int curMouseX = 0, curMouseY = 0;

//---- Helpers

static void appendItem(Screen* screen, Sprite* item)
{
    KWArray_PushElement(screen->items, item);
}

//---- Screens

Screen* NUX_CreateScreen()
{
    if (!nuxScreens)
        nuxScreens = KWArray_Create((int32_t)sizeof(Screen));
    Screen* screen = (Screen*)KWArray_CreateElement(nuxScreens);
    screen->items = KWArray_Create((int32_t)sizeof(Sprite));
    screen->visible = 1;
    return screen;
}

Image* NUX_AddImage(Screen* screen, const char* path)
{
    Image* image = NUX_LoadImage(path);
    image->sprite.draw = NUX_DrawImage;
    appendItem(screen, &image->sprite);
    return image;
}

Sprite* NUX_AddRect(Screen* screen, float x, float y, float width, float height)
{
    Sprite* rect = (Sprite*)calloc(1, sizeof(Sprite));
    NUX_InitSprite(rect);
    rect->x = x;
    rect->y = y;
    rect->width = width;
    rect->height = height;
    rect->draw = NUX_DrawEmptySprite;
    appendItem(screen, rect);
    return rect;
}

Label* NUX_AddLabel(Screen* screen, Font* font, const char* text, int textureSize, int pixelSize)
{
    Label* label = NUX_CreateLabel(font, text, textureSize, pixelSize, 255.0f, 255.0f, 255.0f, 255.0f);
    label->sprite.draw = NUX_DrawLabel;
    appendItem(screen, &label->sprite);
    return label;
}

Label* NUX_AddLabelWithColor(Screen* screen, Font* font, const char* text, int textureSize, int pixelSize, float red,
                             float green, float blue, float alpha)
{
    Label* label = NUX_CreateLabel(font, text, textureSize, pixelSize, red * 255.0f, green * 255.0f, blue * 255.0f,
                                   alpha * 255.0f);
    label->sprite.draw = NUX_DrawLabel;
    appendItem(screen, &label->sprite);
    return label;
}

//---- Frame

void NUX_RenderScreen(Screen* screen)
{
    for (int32_t i = 0; i < screen->items->count; i++) {
        Sprite* item = (Sprite*)screen->items->items[i];
        if (item->draw)
            item->draw(item);
    }
}

void NUX_RenderImages()
{
    if (!nuxScreens)
        return;
    for (int32_t i = 0; i < nuxScreens->count; i++) {
        Screen* screen = (Screen*)nuxScreens->items[i];
        if (screen->visible == 1)
            NUX_RenderScreen(screen);
    }
}

int NUX_Update()
{
    NUX_InputUpdate();
    NUX_BeginRender();
    NUX_RenderImages();
    NUX_EndRender();
    return exitFlag;
}

//---- Dragging

void NUX_StartDrag(Sprite* sprite)
{
    sprite->dragging = 1;
    sprite->dragOffsetX = (int)((float)curMouseX - sprite->x);
    sprite->dragOffsetY = (int)((float)curMouseY - sprite->y);
}

void NUX_StopDrag(Sprite* sprite)
{
    sprite->dragging = 0;
}
