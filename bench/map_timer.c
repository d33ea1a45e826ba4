/* Times one start of a program on the current X display.
 *
 *   map_timer LOG PROGRAM [ARG...]
 *
 * Watches the root window for top-level windows (SubstructureNotify) and for
 * any drawing on the screen (a DAMAGE object on the root window, made before
 * the fork so that nothing drawn can be missed), then forks and execs the
 * program with its output appended to LOG. Prints one line of key=value pairs:
 *   mapped_ms   fork to the MapNotify of the program's first top-level window
 *   painted_ms  fork to the first drawing inside that window after it was mapped
 *   hwm_kb      the program's peak RSS (VmHWM) once nothing was drawn for 300 ms
 *   width, height  the mapped window's size
 * Then kills the program's process group. No window manager may run: every
 * top-level window mapped after the fork is taken as the program's. */
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

enum { kSettleMs = 300, kTimeoutMs = 15000, kMaxTops = 64 };

struct Top {
    Window id;
    int x, y, width, height;
};

static double NowMs(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

static long ReadHwmKb(pid_t pid) {
    char path[64], line[256];
    snprintf(path, sizeof path, "/proc/%d/status", (int)pid);
    FILE* f = fopen(path, "r");
    long kb = -1;
    while (f && fgets(line, sizeof line, f) && sscanf(line, "VmHWM: %ld kB", &kb) != 1) {
    }
    if (f)
        fclose(f);
    return kb;
}

int main(int argc, char** argv) {
    if (argc < 3) {
        fputs("usage: map_timer LOG PROGRAM [ARG...]\n", stderr);
        return 2;
    }
    char** program = argv + 2;
    Display* dpy = XOpenDisplay(NULL);
    int damage_event, damage_error;
    if (!dpy || !XDamageQueryExtension(dpy, &damage_event, &damage_error)) {
        fputs("map_timer: cannot open the display, or it has no DAMAGE extension\n", stderr);
        return 1;
    }
    int major = 1, minor = 1;
    XDamageQueryVersion(dpy, &major, &minor);
    Window root = DefaultRootWindow(dpy);
    XSelectInput(dpy, root, SubstructureNotifyMask);
    XDamageCreate(dpy, root, XDamageReportRawRectangles);
    XSync(dpy, True);
    fcntl(ConnectionNumber(dpy), F_SETFD, FD_CLOEXEC); /* the program must not inherit it */

    int log_fd = open(argv[1], O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    const double start = NowMs();
    pid_t child = fork();
    if (child < 0) {
        perror("map_timer: fork");
        return 1;
    }
    if (child == 0) {
        setpgid(0, 0); /* so that whatever it starts in turn dies with it */
        dup2(log_fd, STDOUT_FILENO);
        dup2(log_fd, STDERR_FILENO);
        execvp(program[0], program);
        _exit(127);
    }
    setpgid(child, child);

    /* Geometry comes from CreateNotify and ConfigureNotify alone: no round
     * trip to the server while the clock runs. */
    struct Top tops[kMaxTops], mapped = {0};
    int top_count = 0, exited = 0, status = 0;
    double mapped_at = -1, painted_at = -1, last_damage_at = -1;
    for (;;) {
        double now = NowMs(), deadline = start + kTimeoutMs;
        if (painted_at >= 0 && last_damage_at + kSettleMs < deadline)
            deadline = last_damage_at + kSettleMs;
        if (now >= deadline)
            break;
        if (!XPending(dpy)) {
            struct pollfd pfd = {ConnectionNumber(dpy), POLLIN, 0};
            int wait = (int)(deadline - now) + 1;
            poll(&pfd, 1, wait < 50 ? wait : 50); /* to notice the program dying */
            if (waitpid(child, &status, WNOHANG) == child) {
                exited = 1;
                break;
            }
            continue;
        }
        now = NowMs();
        XEvent event;
        XNextEvent(dpy, &event);
        if (event.type == CreateNotify && event.xcreatewindow.parent == root &&
            top_count < kMaxTops) {
            const XCreateWindowEvent* e = &event.xcreatewindow;
            tops[top_count++] = (struct Top){e->window, e->x, e->y, e->width, e->height};
        } else if (event.type == ConfigureNotify && event.xconfigure.event == root) {
            const XConfigureEvent* e = &event.xconfigure;
            for (int t = 0; t < top_count; ++t)
                if (tops[t].id == e->window)
                    tops[t] = (struct Top){e->window, e->x, e->y, e->width, e->height};
            if (mapped.id == e->window)
                mapped = (struct Top){e->window, e->x, e->y, e->width, e->height};
        } else if (event.type == MapNotify && event.xmap.event == root && mapped_at < 0 &&
                   !event.xmap.override_redirect) {
            mapped_at = now;
            for (int t = 0; t < top_count; ++t)
                if (tops[t].id == event.xmap.window)
                    mapped = tops[t];
            mapped.id = event.xmap.window;
        } else if (event.type == damage_event + XDamageNotify && mapped_at >= 0) {
            /* Raw rectangles of the root's damage are in screen coordinates. */
            const XRectangle* a = &((const XDamageNotifyEvent*)&event)->area;
            if (a->x < mapped.x + mapped.width && a->x + a->width > mapped.x &&
                a->y < mapped.y + mapped.height && a->y + a->height > mapped.y) {
                if (painted_at < 0)
                    painted_at = now;
                last_damage_at = now;
            }
        }
    }

    printf("mapped_ms=%.3f painted_ms=%.3f hwm_kb=%ld width=%d height=%d\n",
           mapped_at >= 0 ? mapped_at - start : -1, painted_at >= 0 ? painted_at - start : -1,
           exited ? -1 : ReadHwmKb(child), mapped.width, mapped.height);
    fflush(stdout);
    kill(-child, SIGKILL);
    if (!exited)
        waitpid(child, &status, 0);
    XCloseDisplay(dpy);
    if (exited)
        fprintf(stderr, "map_timer: %s ended by itself (status %d) before it settled\n", program[0],
                status);
    return exited || mapped_at < 0 ? 1 : 0;
}
