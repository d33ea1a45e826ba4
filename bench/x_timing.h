/* What the X timing helpers share: the clock, starting the program, and
 * watching the root window for its top-level window being mapped and drawn in.
 * No window manager may run: every top-level window mapped after the fork is
 * taken as the program's. */
#pragma once

/* Include it first: pipe2 needs this before any system header. */
#ifndef _GNU_SOURCE
#define _GNU_SOURCE
#endif
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static inline double NowMs(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

/* Forks and execs the program in a process group of its own, with its output
 * appended to the log. *start is the time of the fork. Returns the pid, or -1
 * after saying why. */
static inline pid_t Launch(const char *who, char **program, const char *log_path, double *start) {
    int log_fd = open(log_path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (log_fd < 0) {
        perror(log_path);
        return -1;
    }
    int exec_pipe[2];
    if (pipe2(exec_pipe, O_CLOEXEC) != 0) {
        perror(who);
        return -1;
    }
    *start = NowMs();
    pid_t child = fork();
    if (child < 0) {
        perror(who);
        return -1;
    }
    if (child == 0) {
        setpgid(0, 0); /* so that whatever it starts in turn dies with it */
        dup2(log_fd, STDOUT_FILENO);
        dup2(log_fd, STDERR_FILENO);
        execvp(program[0], program);
        int err = errno;
        (void)!write(exec_pipe[1], &err, sizeof err);
        _exit(127);
    }
    setpgid(child, child);
    close(log_fd);
    close(exec_pipe[1]);
    int exec_errno = 0;
    ssize_t got = read(exec_pipe[0], &exec_errno, sizeof exec_errno);
    close(exec_pipe[0]);
    if (got == (ssize_t)sizeof exec_errno) {
        fprintf(stderr, "%s: cannot run %s: %s\n", who, program[0], strerror(exec_errno));
        waitpid(child, NULL, 0);
        return -1;
    }
    return child;
}

/* The caption in hex, so that spaces and brackets survive the key=value line. */
static inline void PrintTitle(Display *dpy, Window w) {
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char *data = NULL;
    Atom net_wm_name = XInternAtom(dpy, "_NET_WM_NAME", False);
    if (XGetWindowProperty(dpy, w, net_wm_name, 0, 1024, False, AnyPropertyType, &type, &format, &count, &after,
                           &data) != Success || !data) {
        if (data) XFree(data);
        data = NULL;
        if (XGetWindowProperty(dpy, w, XA_WM_NAME, 0, 1024, False, AnyPropertyType, &type, &format, &count, &after,
                               &data) != Success)
            data = NULL;
    }
    printf(" title=");
    if (data) {
        for (unsigned long i = 0; i < count; ++i) printf("%02x", data[i]);
        XFree(data);
    }
}

struct Top {
    Window id;
    int x, y, width, height;
};

/* The program's first top-level window as the root window sees it. Geometry
 * comes from CreateNotify and ConfigureNotify alone: no round trip while the
 * clock runs. The times are -1 until seen. */
struct Watch {
    Window root;
    int damage_event;
    struct Top tops[64];
    int top_count;
    struct Top mapped;
    double mapped_at, painted_at, last_damage_at;
};

/* Watches the root window for top-level windows (SubstructureNotify) and for
 * any drawing on the screen (a DAMAGE object on the root window). Call it
 * before the fork, so that nothing drawn can be missed. */
static inline int WatchRoot(const char *who, Display *dpy, struct Watch *watch) {
    int damage_error;
    if (!XDamageQueryExtension(dpy, &watch->damage_event, &damage_error)) {
        fprintf(stderr, "%s: the X server has no DAMAGE extension\n", who);
        return 0;
    }
    int damage_major = 1, damage_minor = 1;
    XDamageQueryVersion(dpy, &damage_major, &damage_minor);
    watch->root = DefaultRootWindow(dpy);
    watch->top_count = 0;
    watch->mapped = (struct Top){0};
    watch->mapped_at = watch->painted_at = watch->last_damage_at = -1;
    XSelectInput(dpy, watch->root, SubstructureNotifyMask);
    XDamageCreate(dpy, watch->root, XDamageReportRawRectangles);
    XSync(dpy, True);
    /* The program must not inherit this connection. */
    fcntl(ConnectionNumber(dpy), F_SETFD, FD_CLOEXEC);
    return 1;
}

/* Takes in one event that arrived at time now. */
static inline void WatchEvent(struct Watch *watch, const XEvent *event, double now) {
    if (event->type == CreateNotify && event->xcreatewindow.parent == watch->root && watch->top_count < 64) {
        watch->tops[watch->top_count++] =
            (struct Top){event->xcreatewindow.window, event->xcreatewindow.x, event->xcreatewindow.y,
                         event->xcreatewindow.width, event->xcreatewindow.height};
    } else if (event->type == ConfigureNotify && event->xconfigure.event == watch->root) {
        struct Top moved = {event->xconfigure.window, event->xconfigure.x, event->xconfigure.y,
                            event->xconfigure.width, event->xconfigure.height};
        for (int t = 0; t < watch->top_count; ++t)
            if (watch->tops[t].id == moved.id) watch->tops[t] = moved;
        if (watch->mapped_at >= 0 && watch->mapped.id == moved.id) watch->mapped = moved;
    } else if (event->type == MapNotify && event->xmap.event == watch->root && watch->mapped_at < 0 &&
               !event->xmap.override_redirect) {
        watch->mapped_at = now;
        for (int t = 0; t < watch->top_count; ++t)
            if (watch->tops[t].id == event->xmap.window) watch->mapped = watch->tops[t];
        watch->mapped.id = event->xmap.window;
    } else if (event->type == watch->damage_event + XDamageNotify && watch->mapped_at >= 0) {
        const XDamageNotifyEvent *damage = (const XDamageNotifyEvent *)event;
        const struct Top *w = &watch->mapped;
        /* Raw rectangles of the root's damage are in screen coordinates. */
        int x = damage->area.x, y = damage->area.y;
        if (x < w->x + w->width && x + damage->area.width > w->x && y < w->y + w->height &&
            y + damage->area.height > w->y) {
            if (watch->painted_at < 0) watch->painted_at = now;
            watch->last_damage_at = now;
        }
    }
}
