/* Times one start of a program on the current X display.
 *
 *   map_timer [--settle MS] [--timeout MS] [--log FILE] [--expect-lib NAME] -- PROGRAM [ARG...]
 *
 * Watches the root window for top-level windows (SubstructureNotify) and for
 * any drawing on the screen (a DAMAGE object on the root window, made before
 * the fork so nothing drawn can be missed), then forks and execs the program.
 * Prints one line of key=value pairs:
 *   mapped_ms   fork to the MapNotify of the program's first top-level window
 *   painted_ms  fork to the first drawing inside that window after it was mapped
 *   settled_ms  fork to the last drawing before SETTLE ms passed without any
 *   hwm_kb      the program's peak RSS (VmHWM) once settled
 *   width, height, lib (1 when NAME is among the mapped files), title (hex UTF-8)
 * Then kills the program's process group and reaps it. No window manager may
 * run: every top-level window mapped after the fork is taken as the program's. */
#define _GNU_SOURCE
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double NowMs(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

static void Usage(void) {
    fputs("usage: map_timer [--settle MS] [--timeout MS] [--log FILE] [--expect-lib NAME] -- PROGRAM [ARG...]\n",
          stderr);
    exit(2);
}

static long ReadHwmKb(pid_t pid) {
    char path[64], line[256];
    snprintf(path, sizeof path, "/proc/%d/status", (int)pid);
    FILE *f = fopen(path, "r");
    if (!f) return -1;
    long kb = -1;
    while (fgets(line, sizeof line, f))
        if (sscanf(line, "VmHWM: %ld kB", &kb) == 1) break;
    fclose(f);
    return kb;
}

static int MapsContain(pid_t pid, const char *name) {
    char path[64], line[4096];
    snprintf(path, sizeof path, "/proc/%d/maps", (int)pid);
    FILE *f = fopen(path, "r");
    if (!f) return 0;
    int found = 0;
    while (!found && fgets(line, sizeof line, f)) found = strstr(line, name) != NULL;
    fclose(f);
    return found;
}

/* The caption in hex, so that spaces and brackets survive the key=value line. */
static void PrintTitle(Display *dpy, Window w) {
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

int main(int argc, char **argv) {
    double settle_ms = 300, timeout_ms = 15000;
    const char *log_path = "/dev/null", *expect_lib = NULL;
    int i = 1;
    for (; i < argc && strcmp(argv[i], "--") != 0; ++i) {
        if (i + 1 >= argc) Usage();
        if (!strcmp(argv[i], "--settle")) settle_ms = atof(argv[++i]);
        else if (!strcmp(argv[i], "--timeout")) timeout_ms = atof(argv[++i]);
        else if (!strcmp(argv[i], "--log")) log_path = argv[++i];
        else if (!strcmp(argv[i], "--expect-lib")) expect_lib = argv[++i];
        else Usage();
    }
    if (i + 1 >= argc) Usage();
    char **program = argv + i + 1;

    Display *dpy = XOpenDisplay(NULL);
    if (!dpy) {
        fputs("map_timer: cannot open the display\n", stderr);
        return 1;
    }
    int damage_event, damage_error;
    if (!XDamageQueryExtension(dpy, &damage_event, &damage_error)) {
        fputs("map_timer: the X server has no DAMAGE extension\n", stderr);
        return 1;
    }
    int damage_major = 1, damage_minor = 1;
    XDamageQueryVersion(dpy, &damage_major, &damage_minor);
    Window root = DefaultRootWindow(dpy);
    XSelectInput(dpy, root, SubstructureNotifyMask);
    XDamageCreate(dpy, root, XDamageReportRawRectangles);
    XSync(dpy, True);
    fcntl(ConnectionNumber(dpy), F_SETFD, FD_CLOEXEC);

    int log_fd = open(log_path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (log_fd < 0) {
        perror(log_path);
        return 1;
    }
    int exec_pipe[2];
    if (pipe2(exec_pipe, O_CLOEXEC) != 0) return 1;

    double start = NowMs();
    pid_t child = fork();
    if (child < 0) return 1;
    if (child == 0) {
        setpgid(0, 0);  /* so that whatever it starts in turn dies with it */
        dup2(log_fd, STDOUT_FILENO);
        dup2(log_fd, STDERR_FILENO);
        execvp(program[0], program);
        int err = errno;
        (void)!write(exec_pipe[1], &err, sizeof err);
        _exit(127);
    }
    setpgid(child, child);
    close(exec_pipe[1]);
    int exec_errno = 0;
    if (read(exec_pipe[0], &exec_errno, sizeof exec_errno) == (ssize_t)sizeof exec_errno) {
        fprintf(stderr, "map_timer: cannot run %s: %s\n", program[0], strerror(exec_errno));
        waitpid(child, NULL, 0);
        return 1;
    }
    close(exec_pipe[0]);

    /* Geometry of the top-level windows, known from CreateNotify and
     * ConfigureNotify alone: no round trip while the clock runs. */
    struct Top tops[64];
    int top_count = 0;
    struct Top mapped = {0};
    double mapped_at = -1, painted_at = -1, last_damage_at = -1;
    int exited = 0, status = 0;

    for (;;) {
        double now = NowMs();
        double deadline = start + timeout_ms;
        if (painted_at >= 0) {
            double quiet_until = last_damage_at + settle_ms;
            if (now >= quiet_until) break;
            if (quiet_until < deadline) deadline = quiet_until;
        }
        if (now >= deadline) break;
        if (!XPending(dpy)) {
            struct pollfd pfd = {ConnectionNumber(dpy), POLLIN, 0};
            int wait = (int)(deadline - now) + 1;
            if (wait > 50) wait = 50;  /* to notice the program dying */
            poll(&pfd, 1, wait);
            if (waitpid(child, &status, WNOHANG) == child) {
                exited = 1;
                break;
            }
            continue;
        }
        now = NowMs();
        XEvent event;
        XNextEvent(dpy, &event);
        if (event.type == CreateNotify && event.xcreatewindow.parent == root && top_count < 64) {
            tops[top_count++] = (struct Top){event.xcreatewindow.window, event.xcreatewindow.x,
                                             event.xcreatewindow.y, event.xcreatewindow.width,
                                             event.xcreatewindow.height};
        } else if (event.type == ConfigureNotify && event.xconfigure.event == root) {
            for (int t = 0; t < top_count; ++t)
                if (tops[t].id == event.xconfigure.window)
                    tops[t] = (struct Top){tops[t].id, event.xconfigure.x, event.xconfigure.y,
                                           event.xconfigure.width, event.xconfigure.height};
        } else if (event.type == MapNotify && event.xmap.event == root && mapped_at < 0 &&
                   !event.xmap.override_redirect) {
            mapped_at = now;
            for (int t = 0; t < top_count; ++t)
                if (tops[t].id == event.xmap.window) mapped = tops[t];
            mapped.id = event.xmap.window;
        } else if (event.type == damage_event + XDamageNotify && mapped_at >= 0) {
            XDamageNotifyEvent *damage = (XDamageNotifyEvent *)&event;
            /* Raw rectangles of the root's damage are in screen coordinates. */
            int x = damage->area.x, y = damage->area.y;
            if (x < mapped.x + mapped.width && x + damage->area.width > mapped.x &&
                y < mapped.y + mapped.height && y + damage->area.height > mapped.y) {
                if (painted_at < 0) painted_at = now;
                last_damage_at = now;
            }
        }
    }

    long hwm_kb = exited ? -1 : ReadHwmKb(child);
    int has_lib = expect_lib && !exited ? MapsContain(child, expect_lib) : 0;
    if (mapped_at >= 0)
        printf("mapped_ms=%.3f", mapped_at - start);
    else
        printf("mapped_ms=nan");
    if (painted_at >= 0)
        printf(" painted_ms=%.3f settled_ms=%.3f", painted_at - start, last_damage_at - start);
    else
        printf(" painted_ms=nan settled_ms=nan");
    printf(" hwm_kb=%ld width=%d height=%d lib=%d", hwm_kb, mapped.width, mapped.height, has_lib);
    if (mapped_at >= 0 && !exited) PrintTitle(dpy, mapped.id);
    printf(" exited=%d\n", exited);
    fflush(stdout);

    kill(-child, SIGKILL);
    if (!exited) waitpid(child, &status, 0);
    XCloseDisplay(dpy);
    if (exited) {
        fprintf(stderr, "map_timer: %s ended by itself (status %d) before it settled\n", program[0], status);
        return 1;
    }
    return mapped_at >= 0 ? 0 : 1;
}
