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
#include "x_timing.h"

#include <poll.h>
#include <signal.h>
#include <stdlib.h>

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
    struct Watch watch;
    if (!WatchRoot("map_timer", dpy, &watch)) return 1;
    double start;
    pid_t child = Launch("map_timer", program, log_path, &start);
    if (child < 0) return 1;

    int exited = 0, status = 0;
    for (;;) {
        double now = NowMs();
        double deadline = start + timeout_ms;
        if (watch.painted_at >= 0) {
            double quiet_until = watch.last_damage_at + settle_ms;
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
        WatchEvent(&watch, &event, now);
    }

    long hwm_kb = exited ? -1 : ReadHwmKb(child);
    int has_lib = expect_lib && !exited ? MapsContain(child, expect_lib) : 0;
    if (watch.mapped_at >= 0)
        printf("mapped_ms=%.3f", watch.mapped_at - start);
    else
        printf("mapped_ms=nan");
    if (watch.painted_at >= 0)
        printf(" painted_ms=%.3f settled_ms=%.3f", watch.painted_at - start, watch.last_damage_at - start);
    else
        printf(" painted_ms=nan settled_ms=nan");
    printf(" hwm_kb=%ld width=%d height=%d lib=%d", hwm_kb, watch.mapped.width, watch.mapped.height, has_lib);
    if (watch.mapped_at >= 0 && !exited) PrintTitle(dpy, watch.mapped.id);
    printf(" exited=%d\n", exited);
    fflush(stdout);

    kill(-child, SIGKILL);
    if (!exited) waitpid(child, &status, 0);
    XCloseDisplay(dpy);
    if (exited) {
        fprintf(stderr, "map_timer: %s ended by itself (status %d) before it settled\n", program[0], status);
        return 1;
    }
    return watch.mapped_at >= 0 ? 0 : 1;
}
