// nux_desktop_x11: reads the screen's work area and places the game's window on the X display. Full screen covers the whole screen
// only if the window also sits at its corner, which a desktop's window manager sees to but a bare
// X server (a kiosk, a test display) leaves to the program. Kept apart: Xlib's names are global.

#include <SDL.h>
#include <SDL_syswm.h>  // the X display and window under SDL's

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>  // XA_CARDINAL
#include <GL/glx.h>     // the back buffer's age
#include <cstring>      // strstr
#include <poll.h>       // waiting on the display's connection
#endif

// Declared in nux_local.h, which cannot be included here: Xlib has a Font of its own.
void nuxPlaceWindow(int x, int y);
int nuxWorkArea(int* width, int* height);
int nuxBackBufferAge();
int nuxPresentPart(const int* rect);
int nuxWaitForWindowEvent(double seconds);

//---- Helpers

#if defined(SDL_VIDEO_DRIVER_X11)
// A refused move is no reason to end the game (Xlib's own handler would exit).
static int ignoreError(Display*, XErrorEvent*)
{
    return 0;
}
#endif

#if defined(SDL_VIDEO_DRIVER_X11)
// The first `count` 32-bit values of a property of the root window; 0 when it is not set.
static int rootCardinals(Display* display, const char* name, long* values, int count)
{
    Atom property = XInternAtom(display, name, True);
    if (property == None)
        return 0;
    Atom type = None;
    int format = 0;
    unsigned long items = 0, left = 0;
    unsigned char* data = nullptr;
    int got = 0;
    if (XGetWindowProperty(display, DefaultRootWindow(display), property, 0, count, False, XA_CARDINAL, &type, &format,
                           &items, &left, &data) == Success &&
        type == XA_CARDINAL && format == 32 && items >= (unsigned long)count) {
        // Xlib hands 32-bit values over as longs.
        for (int i = 0; i < count; i++)
            values[i] = ((long*)data)[i];
        got = 1;
    }
    if (data)
        XFree(data);
    return got;
}
#endif

//---- Engine-internal

int nuxWorkArea(int* width, int* height)
{
#if defined(SDL_VIDEO_DRIVER_X11)
    // Asked before the window exists, on a connection of its own closed at once.
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 0;
    // Four values (x, y, width, height) for each virtual desktop; the current one's count.
    long desktop = 0, area[4] = {0, 0, 0, 0};
    int got = 0;
    if (!rootCardinals(display, "_NET_CURRENT_DESKTOP", &desktop, 1) || desktop < 0 || desktop > 64)
        desktop = 0;
    long all[65 * 4];
    int count = (int)(desktop + 1) * 4;
    if (rootCardinals(display, "_NET_WORKAREA", all, count)) {
        for (int i = 0; i < 4; i++)
            area[i] = all[desktop * 4 + i];
        got = area[2] > 0 && area[3] > 0;
    }
    XCloseDisplay(display);
    if (got) {
        *width = (int)area[2];
        *height = (int)area[3];
    }
    return got;
#else
    (void)width;
    (void)height;
    return 0;
#endif
}

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

int nuxBackBufferAge()
{
#if defined(SDL_VIDEO_DRIVER_X11) && defined(GLX_BACK_BUFFER_AGE_EXT)
    // Only a GLX context can be asked, and only when its display has the extension: asking for an
    // attribute it does not know is an X error.
    Display* display = glXGetCurrentDisplay();
    GLXDrawable drawable = glXGetCurrentDrawable();
    if (!display || !drawable)
        return 0;
    static Display* askedOf = nullptr;
    static bool hasAge = false;
    if (askedOf != display) {
        const char* extensions = glXQueryExtensionsString(display, DefaultScreen(display));
        hasAge = extensions && strstr(extensions, "GLX_EXT_buffer_age");
        askedOf = display;
    }
    if (!hasAge)
        return 0;
    unsigned int age = 0;
    glXQueryDrawable(display, drawable, GLX_BACK_BUFFER_AGE_EXT, &age);
    return (int)age;
#else
    return 0;
#endif
}

int nuxPresentPart(const int* rect)
{
#if defined(SDL_VIDEO_DRIVER_X11) && defined(GLX_MESA_copy_sub_buffer)
    Display* display = glXGetCurrentDisplay();
    GLXDrawable drawable = glXGetCurrentDrawable();
    if (!display || !drawable)
        return 0;
    static Display* askedOf = nullptr;
    static PFNGLXCOPYSUBBUFFERMESAPROC copy = nullptr;
    if (askedOf != display) {
        const char* extensions = glXQueryExtensionsString(display, DefaultScreen(display));
        copy = extensions && strstr(extensions, "GLX_MESA_copy_sub_buffer")
                   ? (PFNGLXCOPYSUBBUFFERMESAPROC)glXGetProcAddressARB((const GLubyte*)"glXCopySubBufferMESA")
                   : nullptr;
        askedOf = display;
    }
    if (!copy)
        return 0;
    if (rect)
        copy(display, drawable, rect[0], rect[1], rect[2], rect[3]);
    return 1;
#else
    (void)rect;
    return 0;
#endif
}

int nuxWaitForWindowEvent(double seconds)
{
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) <= 0 || info.subsystem != SDL_SYSWM_X11 || !info.info.x11.display)
        return 0;
    Display* display = info.info.x11.display;
    // Events already read from the connection wait in Xlib's queue, where poll cannot see them.
    if (info.info.x11.lock_func)
        info.info.x11.lock_func();
    const int queued = XEventsQueued(display, QueuedAfterFlush);
    if (info.info.x11.unlock_func)
        info.info.x11.unlock_func();
    if (queued > 0)
        return 1;
    pollfd connection = {ConnectionNumber(display), POLLIN, 0};
    const int ms = seconds <= 0.0 ? 0 : (int)(seconds * 1000.0 + 0.999);
    poll(&connection, 1, ms);
    return 1;
#else
    (void)seconds;
    return 0;
#endif
}
