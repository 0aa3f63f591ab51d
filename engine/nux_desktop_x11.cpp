// nux_desktop_x11: places the game's window on the X display. Full screen covers the whole screen
// only if the window also sits at its corner, which a desktop's window manager sees to but a bare
// X server (a kiosk, a test display) leaves to the program. Kept apart: Xlib's names are global.

#include <SDL.h>
#include <SDL_syswm.h>  // the X display and window under SDL's

// Declared in nux_local.h, which cannot be included here: Xlib has a Font of its own.
void nuxPlaceWindow(int x, int y);

//---- Helpers

#if defined(SDL_VIDEO_DRIVER_X11)
// A refused move is no reason to end the game (Xlib's own handler would exit).
static int ignoreError(Display*, XErrorEvent*)
{
    return 0;
}
#endif

//---- Engine-internal

void nuxPlaceWindow(int x, int y)
{
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) <= 0 || info.subsystem != SDL_SYSWM_X11 || !info.info.x11.display)
        return;
    Window window = info.info.x11.wmwindow ? info.info.x11.wmwindow : info.info.x11.window;
    if (!window)
        return;
    if (info.info.x11.lock_func)
        info.info.x11.lock_func();
    XSync(info.info.x11.display, False);
    XErrorHandler previous = XSetErrorHandler(ignoreError);
    XMoveWindow(info.info.x11.display, window, x, y);
    XSync(info.info.x11.display, False);
    XSetErrorHandler(previous);
    if (info.info.x11.unlock_func)
        info.info.x11.unlock_func();
#else
    (void)x;
    (void)y;
#endif
}
