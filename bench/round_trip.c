/* Times one user round trip through a program on the current X display.
 *
 *   round_trip [--timeout MS] [--log FILE] STEP... -- PROGRAM [ARG...]
 *
 * The steps, in the order given, at X,Y of the window's client area:
 *   --type X,Y,TEXT  click, select all (ctrl+a) and type TEXT over it
 *   --click X,Y      click
 *   --copy X,Y       click, select all, copy (ctrl+c) and read the CLIPBOARD back
 * Starts the program as map_timer does and waits for its top-level window to
 * be mapped and drawn in; gives it the input focus, since no window manager
 * does; sends the steps' pointer and key events with XTest; and waits for the
 * program to end by itself.
 * Prints one line of key=value pairs:
 *   mapped_ms   fork to the MapNotify of the program's top-level window
 *   painted_ms  fork to the first drawing in it, when the steps begin
 *   result_ms   fork to the text of the last copy read back from the CLIPBOARD
 *   ended_ms    fork to the end of the process
 *   status      its exit status, or 128 + the signal that ended it
 *   hwm_kb      its peak RSS
 *   width, height (of the window), copied (the text of the last copy, hex UTF-8)
 * On any failure it says which step went wrong, kills the program's process
 * group and exits with 1. */
#include "x_timing.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>
#include <poll.h>
#include <signal.h>
#include <stdarg.h>
#include <stdlib.h>
#include <sys/pidfd.h>
#include <sys/resource.h>

enum StepKind { kType, kClick, kCopy };

struct Step {
    enum StepKind kind;
    int x, y;
    const char *text;
    KeyCode keys[64];
};

struct Run {
    Display *dpy;
    struct Watch watch;
    pid_t child;
    int pidfd;
    double start, deadline;
    char waiting_for[128]; /* what NextEvent waits for, to say so when it never comes */
    Window requestor;
    Atom clipboard, utf8_string, property;
    int fixes_event;
    int owner_changes;
    int answered;
    Atom answer;
    unsigned char copied[4096];
    size_t copied_length;
};

static void Usage(void) {
    fputs("usage: round_trip [--timeout MS] [--log FILE] [--type X,Y,TEXT | --click X,Y | --copy X,Y]... "
          "-- PROGRAM [ARG...]\n",
          stderr);
    exit(2);
}

static void Reap(struct Run *run, int *status, struct rusage *usage) {
    kill(-run->child, SIGKILL); /* the group, while the leader's zombie still holds its id */
    int raw = 0;
    wait4(run->child, &raw, 0, usage);
    *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
}

/* Says what went wrong, kills the program's process group and exits. */
__attribute__((format(printf, 2, 3))) static void Fail(struct Run *run, const char *format, ...) {
    int status;
    struct rusage usage;
    Reap(run, &status, &usage);
    va_list arguments;
    va_start(arguments, format);
    fputs("round_trip: ", stderr);
    vfprintf(stderr, format, arguments);
    va_end(arguments);
    fputc('\n', stderr);
    exit(1);
}

/* Names what NextEvent waits for next. */
__attribute__((format(printf, 2, 3))) static void Expect(struct Run *run, const char *format, ...) {
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(run->waiting_for, sizeof run->waiting_for, format, arguments);
    va_end(arguments);
}

/* Waits until the program ends, or fails when the deadline passes first. */
static double AwaitEnd(struct Run *run) {
    struct pollfd ended = {run->pidfd, POLLIN, 0};
    double now = NowMs();
    if (now >= run->deadline || poll(&ended, 1, (int)(run->deadline - now) + 1) != 1)
        Fail(run, "no %s within %.0f ms of the start", run->waiting_for, run->deadline - run->start);
    return NowMs();
}

/* Handles the next event. Fails when the program ends or the deadline passes first. */
static void NextEvent(struct Run *run) {
    while (!XPending(run->dpy)) {
        double now = NowMs();
        if (now >= run->deadline)
            Fail(run, "no %s within %.0f ms of the start", run->waiting_for, run->deadline - run->start);
        struct pollfd fds[2] = {{ConnectionNumber(run->dpy), POLLIN, 0}, {run->pidfd, POLLIN, 0}};
        poll(fds, 2, (int)(run->deadline - now) + 1);
        if (fds[1].revents) {
            int status;
            struct rusage usage;
            Reap(run, &status, &usage);
            fprintf(stderr, "round_trip: the program ended (status %d) while waiting for %s\n", status,
                    run->waiting_for);
            exit(1);
        }
    }
    XEvent event;
    XNextEvent(run->dpy, &event);
    double now = NowMs();
    WatchEvent(&run->watch, &event, now);
    if (event.type == run->fixes_event + XFixesSelectionNotify) {
        const XFixesSelectionNotifyEvent *owner = (const XFixesSelectionNotifyEvent *)&event;
        if (owner->selection == run->clipboard && owner->owner != None) ++run->owner_changes;
    } else if (event.type == SelectionNotify && event.xselection.requestor == run->requestor) {
        run->answered = 1;
        run->answer = event.xselection.property;
    }
}

static void Click(struct Run *run, int x, int y) {
    /* Absolute screen coordinates: the client area starts at the window's
     * origin, since no window manager reparents it. */
    XTestFakeMotionEvent(run->dpy, -1, run->watch.mapped.x + x, run->watch.mapped.y + y, CurrentTime);
    XTestFakeButtonEvent(run->dpy, Button1, True, CurrentTime);
    XTestFakeButtonEvent(run->dpy, Button1, False, CurrentTime);
}

static void Key(Display *dpy, KeyCode modifier, KeyCode key) {
    if (modifier) XTestFakeKeyEvent(dpy, modifier, True, CurrentTime);
    XTestFakeKeyEvent(dpy, key, True, CurrentTime);
    XTestFakeKeyEvent(dpy, key, False, CurrentTime);
    if (modifier) XTestFakeKeyEvent(dpy, modifier, False, CurrentTime);
}

/* The key that types the character without a modifier, or 0. */
static KeyCode PlainKey(Display *dpy, char c) {
    char name[2] = {c, 0};
    KeySym symbol = c == '.' ? XK_period : c == '-' ? XK_minus : c == ' ' ? XK_space : XStringToKeysym(name);
    KeyCode code = symbol == NoSymbol ? 0 : XKeysymToKeycode(dpy, symbol);
    return code && XkbKeycodeToKeysym(dpy, code, 0, 0) == symbol ? code : 0;
}

/* Takes what the owner put in the requestor's property, and deletes it. */
static void ReadCopied(struct Run *run) {
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char *data = NULL;
    if (XGetWindowProperty(run->dpy, run->requestor, run->answer, 0, sizeof run->copied / 4, True,
                           AnyPropertyType, &type, &format, &count, &after, &data) != Success ||
        !data || format != 8 || (type != run->utf8_string && type != XA_STRING) || after != 0) {
        if (data) XFree(data);
        Fail(run, "the CLIPBOARD's owner sent no text, or more than %zu bytes", sizeof run->copied);
    }
    memcpy(run->copied, data, count);
    run->copied_length = count;
    XFree(data);
}

int main(int argc, char **argv) {
    double timeout_ms = 15000;
    const char *log_path = "/dev/null";
    struct Step steps[16];
    int step_count = 0;
    int i = 1;
    for (; i < argc && strcmp(argv[i], "--") != 0; ++i) {
        if (i + 1 >= argc) Usage();
        const char *option = argv[i], *value = argv[++i];
        if (!strcmp(option, "--timeout")) {
            timeout_ms = atof(value);
        } else if (!strcmp(option, "--log")) {
            log_path = value;
        } else if (step_count < 16 && (!strcmp(option, "--type") || !strcmp(option, "--click") ||
                                       !strcmp(option, "--copy"))) {
            struct Step *step = &steps[step_count++];
            step->kind = !strcmp(option, "--type") ? kType : !strcmp(option, "--click") ? kClick : kCopy;
            int used = 0;
            if (sscanf(value, "%d,%d%n", &step->x, &step->y, &used) != 2) Usage();
            step->text = value + used;
            if (step->kind == kType ? *step->text != ',' : *step->text != 0) Usage();
            if (step->kind == kType) ++step->text;
            if (strlen(step->text) >= sizeof step->keys / sizeof step->keys[0]) Usage();
        } else {
            Usage();
        }
    }
    if (i + 1 >= argc || step_count == 0) Usage();
    char **program = argv + i + 1;

    struct Run run = {0};
    run.dpy = XOpenDisplay(NULL);
    Display *dpy = run.dpy;
    if (!dpy) {
        fputs("round_trip: cannot open the display\n", stderr);
        return 1;
    }
    int xtest_event, xtest_error, major, minor, fixes_error;
    if (!XTestQueryExtension(dpy, &xtest_event, &xtest_error, &major, &minor)) {
        fputs("round_trip: the X server has no XTEST extension\n", stderr);
        return 1;
    }
    if (!XFixesQueryExtension(dpy, &run.fixes_event, &fixes_error)) {
        fputs("round_trip: the X server has no XFIXES extension\n", stderr);
        return 1;
    }
    major = 5, minor = 0;
    XFixesQueryVersion(dpy, &major, &minor);

    /* Keys and atoms now, so that no lookup costs a round trip while the clock runs. */
    KeyCode control = XKeysymToKeycode(dpy, XK_Control_L);
    KeyCode select_all = XKeysymToKeycode(dpy, XK_a), copy = XKeysymToKeycode(dpy, XK_c);
    if (!control || !select_all || !copy) {
        fputs("round_trip: the keyboard map has no Control_L, a or c\n", stderr);
        return 1;
    }
    for (int s = 0; s < step_count; ++s)
        for (int k = 0; steps[s].text[k]; ++k)
            if (!(steps[s].keys[k] = PlainKey(dpy, steps[s].text[k]))) {
                fprintf(stderr, "round_trip: no key types '%c' without a modifier\n", steps[s].text[k]);
                return 1;
            }
    run.clipboard = XInternAtom(dpy, "CLIPBOARD", False);
    run.utf8_string = XInternAtom(dpy, "UTF8_STRING", False);
    run.property = XInternAtom(dpy, "ROUND_TRIP_COPIED", False);
    /* The window the copied text is delivered to; never mapped. */
    run.requestor = XCreateWindow(dpy, DefaultRootWindow(dpy), -1, -1, 1, 1, 0, 0, InputOnly, CopyFromParent, 0,
                                  NULL);
    XFixesSelectSelectionInput(dpy, run.requestor, run.clipboard, XFixesSetSelectionOwnerNotifyMask);
    if (!WatchRoot("round_trip", dpy, &run.watch)) return 1;

    run.child = Launch("round_trip", program, log_path, &run.start);
    if (run.child < 0) return 1;
    run.pidfd = pidfd_open(run.child, 0);
    if (run.pidfd < 0) {
        perror("round_trip: pidfd_open");
        kill(-run.child, SIGKILL);
        waitpid(run.child, NULL, 0);
        return 1;
    }
    run.deadline = run.start + timeout_ms;

    /* Keys sent before the window is up would go to the root window: the
     * first drawing in it says the program reads its events. */
    Expect(&run, "MapNotify of a top-level window");
    while (run.watch.mapped_at < 0) NextEvent(&run);
    Expect(&run, "drawing in the mapped window");
    while (run.watch.painted_at < 0) NextEvent(&run);
    XSetInputFocus(dpy, run.watch.mapped.id, RevertToParent, CurrentTime);
    XSync(dpy, False);

    double result_at = -1;
    for (int s = 0; s < step_count; ++s) {
        const struct Step *step = &steps[s];
        Click(&run, step->x, step->y);
        if (step->kind != kClick) Key(dpy, control, select_all);
        for (int k = 0; step->text[k]; ++k) Key(dpy, 0, step->keys[k]);
        if (step->kind != kCopy) {
            XSync(dpy, False);
            continue;
        }
        /* The copy is done when the program owns the CLIPBOARD anew; only
         * then can the owner be asked for the text. */
        int owner_changes = run.owner_changes;
        Key(dpy, control, copy);
        XSync(dpy, False);
        Expect(&run, "new owner of the CLIPBOARD after ctrl+c in step %d", s + 1);
        while (run.owner_changes == owner_changes) NextEvent(&run);
        run.answered = 0;
        XConvertSelection(dpy, run.clipboard, run.utf8_string, run.property, run.requestor, CurrentTime);
        XFlush(dpy);
        Expect(&run, "answer of the CLIPBOARD's owner in step %d", s + 1);
        while (!run.answered) NextEvent(&run);
        if (run.answer == None) Fail(&run, "the CLIPBOARD's owner refused the text in step %d", s + 1);
        ReadCopied(&run);
        result_at = NowMs();
    }
    Expect(&run, "end of the program after the last step");
    double ended_at = AwaitEnd(&run);

    printf("mapped_ms=%.3f painted_ms=%.3f", run.watch.mapped_at - run.start, run.watch.painted_at - run.start);
    if (result_at >= 0)
        printf(" result_ms=%.3f", result_at - run.start);
    else
        printf(" result_ms=nan");
    printf(" ended_ms=%.3f", ended_at - run.start);
    int status;
    struct rusage usage;
    Reap(&run, &status, &usage);
    printf(" status=%d hwm_kb=%ld width=%d height=%d", status, usage.ru_maxrss, run.watch.mapped.width,
           run.watch.mapped.height);
    printf(" copied=");
    for (size_t c = 0; c < run.copied_length; ++c) printf("%02x", run.copied[c]);
    printf("\n");
    fflush(stdout);
    XCloseDisplay(dpy);
    return 0;
}
