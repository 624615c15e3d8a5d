/* The key-to-dialog timer of the benchmark, an X client on the browser's screen: presses Alt+Shift+L
 * (XTest, as a keyboard would) and waits, without polling, for what the press brings about:
 *   lvkeys map TITLE           a top-level window named TITLE is mapped (the root window's
 *                              MapNotify events); it is then asked to close (WM_DELETE_WINDOW)
 *   lvkeys line FILE TEXT      a line holding TEXT is appended to FILE (inotify), such as the
 *                              browser's log of the extension's reply
 * Prints the milliseconds from the key press to that event, and the press's wall-clock time in
 * seconds (to set against stamps that other processes take). Exit 1 and "-" after 8 s of nothing. */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/inotify.h>
#include <time.h>
#include <unistd.h>

static const int kLimitMs = 8000;

static double now_ms(clockid_t clock) {
    struct timespec t;
    clock_gettime(clock, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

/* Alt and Shift held, then L: the command fires on the press of L, which is the moment taken. */
static double press_alt_shift_l(Display* d, double* wall) {
    const KeyCode alt = XKeysymToKeycode(d, XK_Alt_L), shift = XKeysymToKeycode(d, XK_Shift_L);
    const KeyCode l = XKeysymToKeycode(d, XK_l);
    XTestFakeKeyEvent(d, alt, True, CurrentTime);
    XTestFakeKeyEvent(d, shift, True, CurrentTime);
    XSync(d, False);
    const double t0 = now_ms(CLOCK_MONOTONIC);
    *wall = now_ms(CLOCK_REALTIME) / 1000.0;
    XTestFakeKeyEvent(d, l, True, CurrentTime);
    XTestFakeKeyEvent(d, l, False, CurrentTime);
    XTestFakeKeyEvent(d, shift, False, CurrentTime);
    XTestFakeKeyEvent(d, alt, False, CurrentTime);
    XFlush(d);
    return t0;
}

static int named(Display* d, Window w, const char* title) {
    char* name = NULL;
    int same = XFetchName(d, w, &name) && name && strcmp(name, title) == 0;
    if (name) XFree(name);
    return same;
}

static void ask_to_close(Display* d, Window w) {
    XEvent e;
    memset(&e, 0, sizeof e);
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = (long)XInternAtom(d, "WM_DELETE_WINDOW", False);
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &e);
    XFlush(d);
}

static int wait_map(Display* d, const char* title) {
    const Window root = DefaultRootWindow(d);
    XSelectInput(d, root, SubstructureNotifyMask);  /* before the press: no map can be missed */
    double wall;
    const double t0 = press_alt_shift_l(d, &wall);
    struct pollfd p = {ConnectionNumber(d), POLLIN, 0};
    for (;;) {
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type != MapNotify || !named(d, e.xmap.window, title)) continue;
            printf("%.1f %.3f\n", now_ms(CLOCK_MONOTONIC) - t0, wall);
            fflush(stdout);
            ask_to_close(d, e.xmap.window);
            return 0;
        }
        const int left = kLimitMs - (int)(now_ms(CLOCK_MONOTONIC) - t0);
        if (left <= 0 || poll(&p, 1, left) <= 0) break;
    }
    printf("- %.3f\n", wall);
    return 1;
}

static int wait_line(Display* d, const char* file, const char* text) {
    const int watch = inotify_init1(IN_CLOEXEC);
    FILE* f = fopen(file, "r");
    if (watch < 0 || !f || inotify_add_watch(watch, file, IN_MODIFY) < 0) {
        perror(file);
        return 2;
    }
    fseek(f, 0, SEEK_END);  /* only what the press brings */
    double wall;
    const double t0 = press_alt_shift_l(d, &wall);
    char line[65536];
    struct pollfd p = {watch, POLLIN, 0};
    for (;;) {
        /* A line may arrive in pieces: read what is whole, keep the rest for the next event. */
        long at = ftell(f);
        while (fgets(line, sizeof line, f)) {
            if (!strchr(line, '\n')) {
                fseek(f, at, SEEK_SET);
                break;
            }
            if (strstr(line, text)) {
                printf("%.1f %.3f\n", now_ms(CLOCK_MONOTONIC) - t0, wall);
                return 0;
            }
            at = ftell(f);
        }
        clearerr(f);
        const int left = kLimitMs - (int)(now_ms(CLOCK_MONOTONIC) - t0);
        if (left <= 0 || poll(&p, 1, left) <= 0) break;
        char events[4096];
        if (read(watch, events, sizeof events) < 0) break;
    }
    printf("- %.3f\n", wall);
    return 1;
}

int main(int argc, char** argv) {
    Display* d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "lvkeys: no display\n");
        return 2;
    }
    if (argc == 3 && strcmp(argv[1], "map") == 0) return wait_map(d, argv[2]);
    if (argc == 4 && strcmp(argv[1], "line") == 0) return wait_line(d, argv[2], argv[3]);
    fprintf(stderr, "usage: lvkeys map TITLE | lvkeys line FILE TEXT\n");
    return 2;
}
