/* The start-up floor: the least a native window of Kelvaro's size, caption
 * and fonts has to do. Opens the window, draws two of its Chinese strings
 * with Xft on every Expose and waits to be killed.
 *
 *   xft_floor CAPTION WIDTH HEIGHT */
#include <X11/Xatom.h>
#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static const char kTitle[] = "自动计算功率因数和功率";
static const char kPrompt[] = "请输入电压 U：";

static void SetUtf8Property(Display *dpy, Window w, const char *name, const char *value) {
    XChangeProperty(dpy, w, XInternAtom(dpy, name, False), XInternAtom(dpy, "UTF8_STRING", False), 8,
                    PropModeReplace, (const unsigned char *)value, (int)strlen(value));
}

static void DrawText(Display *dpy, XftDraw *draw, XftFont *font, unsigned short r, unsigned short g,
                     unsigned short b, int x, int y, const char *text) {
    XRenderColor value = {r, g, b, 0xFFFF};
    XftColor colour;
    int screen = DefaultScreen(dpy);
    XftColorAllocValue(dpy, DefaultVisual(dpy, screen), DefaultColormap(dpy, screen), &value, &colour);
    XftDrawStringUtf8(draw, &colour, font, x, y + font->ascent, (const FcChar8 *)text, (int)strlen(text));
    XftColorFree(dpy, DefaultVisual(dpy, screen), DefaultColormap(dpy, screen), &colour);
}

int main(int argc, char **argv) {
    if (argc != 4) {
        fputs("usage: xft_floor CAPTION WIDTH HEIGHT\n", stderr);
        return 2;
    }
    const char *caption = argv[1];
    int width = atoi(argv[2]), height = atoi(argv[3]);
    Display *dpy = XOpenDisplay(NULL);
    if (!dpy) {
        fputs("xft_floor: cannot open the display\n", stderr);
        return 1;
    }
    int screen = DefaultScreen(dpy);

    /* No server-painted background: the client paints all of it, as a Qt
     * window does, so the first damage seen is the client's own drawing. */
    XSetWindowAttributes attributes = {0};
    attributes.background_pixmap = None;
    attributes.event_mask = ExposureMask | StructureNotifyMask | KeyPressMask | ButtonPressMask;
    Window window = XCreateWindow(dpy, RootWindow(dpy, screen), 0, 0, width, height, 0, CopyFromParent,
                                  InputOutput, CopyFromParent, CWBackPixmap | CWEventMask, &attributes);

    SetUtf8Property(dpy, window, "WM_NAME", caption);
    SetUtf8Property(dpy, window, "_NET_WM_NAME", caption);
    XClassHint class_hint = {"kelvaro", "kelvaro"};
    XSetClassHint(dpy, window, &class_hint);
    XSizeHints *size_hints = XAllocSizeHints();
    size_hints->flags = PMinSize | PMaxSize;
    size_hints->min_width = size_hints->max_width = width;
    size_hints->min_height = size_hints->max_height = height;
    XSetWMNormalHints(dpy, window, size_hints);
    XFree(size_hints);
    long pid = (long)getpid();
    XChangeProperty(dpy, window, XInternAtom(dpy, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                    (const unsigned char *)&pid, 1);
    Atom delete_window = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(dpy, window, &delete_window, 1);

    /* 14.25 pt and 10.5 pt bold at 96 dpi, the sizes of the form's title and prompts. */
    XftFont *title_font = XftFontOpenName(dpy, screen, "AR PL UMing CN:pixelsize=19:weight=bold");
    XftFont *prompt_font = XftFontOpenName(dpy, screen, "AR PL UMing CN:pixelsize=14:weight=bold");
    if (!title_font || !prompt_font) {
        fputs("xft_floor: cannot open the font AR PL UMing CN\n", stderr);
        return 1;
    }
    XftDraw *draw = XftDrawCreate(dpy, window, DefaultVisual(dpy, screen), DefaultColormap(dpy, screen));
    GC gc = XCreateGC(dpy, window, 0, NULL);
    XSetForeground(dpy, gc, 0xC0FFC0);

    XMapWindow(dpy, window);
    for (;;) {
        XEvent event;
        XNextEvent(dpy, &event);
        if (event.type == Expose && event.xexpose.count == 0) {
            XFillRectangle(dpy, window, gc, 0, 0, width, height);
            DrawText(dpy, draw, title_font, 0x0000, 0x0000, 0xFFFF, 48, 8, kTitle);
            DrawText(dpy, draw, prompt_font, 0xC0C0, 0x0000, 0x0000, 16, 48, kPrompt);
            XFlush(dpy);
        } else if (event.type == ClientMessage && (Atom)event.xclient.data.l[0] == delete_window) {
            break;
        }
    }
    XftDrawDestroy(draw);
    XFreeGC(dpy, gc);
    XCloseDisplay(dpy);
    return 0;
}
