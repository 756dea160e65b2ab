// frame_probe: times the game's frames as an X client sees them: its first menu frame and the answer to each key.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <vector>

namespace {

// How long to wait for a window or a frame before calling it lost.
constexpr int64_t PROBE_START_TIMEOUT_MS = 20000;
constexpr int64_t PROBE_FRAME_TIMEOUT_MS = 1000;
// Presses land at a random phase of the play loop's 10 ms sleep, and are
// released well before the 300 ms key repeat would step a second time.
constexpr int32_t PROBE_GAP_MIN_MS = 60;
constexpr int32_t PROBE_GAP_MAX_MS = 160;
constexpr int32_t PROBE_HOLD_MS = 30;
constexpr int PROBE_HEADER_HEIGHT = 50;

// The X server stamps its events with CLOCK_MONOTONIC in milliseconds, so
// the probe's own times are taken on that clock too.
int64_t now_us() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t{t.tv_sec} * 1000000 + t.tv_nsec / 1000;
}

// The X server's DAMAGE extension tells the probe, with the server's
// millisecond time stamp, whenever the window's pixels change, so it never
// polls and adds no load of its own.
struct TProbe {
    Display* display = nullptr;
    int damage_event = 0;
    int damage_error = 0;
    Window window = 0;
    std::vector<Damage> damages;

    bool open() {
        display = XOpenDisplay(nullptr);
        if (!display) {
            std::fprintf(stderr, "frame_probe: cannot open the display\n");
            return false;
        }
        if (!XDamageQueryExtension(display, &damage_event, &damage_error)) {
            std::fprintf(stderr, "frame_probe: the X server has no DAMAGE extension\n");
            return false;
        }
        int event, error, major, minor;
        if (!XTestQueryExtension(display, &event, &error, &major, &minor)) {
            std::fprintf(stderr, "frame_probe: the X server has no XTEST extension\n");
            return false;
        }
        return true;
    }

    // Damage on the top-level window and every window below it: SDL draws
    // into a child of the window the window manager would see.
    void watch(Window top) {
        window = top;
        std::vector<Window> pending = {top};
        while (!pending.empty()) {
            const Window each = pending.back();
            pending.pop_back();
            damages.push_back(XDamageCreate(display, each, XDamageReportRawRectangles));
            Window root, parent, *children = nullptr;
            unsigned int count = 0;
            if (XQueryTree(display, each, &root, &parent, &children, &count)) {
                pending.insert(pending.end(), children, children + count);
                XFree(children);
            }
        }
        XSync(display, False);
    }

    // Waits for the next event until the deadline; false on time-out.
    bool next_event(XEvent& event, int64_t deadline_us) {
        while (!XPending(display)) {
            const int64_t left = deadline_us - now_us();
            if (left <= 0)
                return false;
            pollfd fd = {ConnectionNumber(display), POLLIN, 0};
            poll(&fd, 1, static_cast<int>(left / 1000 + 1));
        }
        XNextEvent(display, &event);
        return true;
    }

    bool is_damage(const XEvent& event) const { return event.type == damage_event + XDamageNotify; }

    // The title menu has its highlighted entry, in pure red, below the header.
    bool shows_menu(const XWindowAttributes& attributes) {
        if (attributes.height <= PROBE_HEADER_HEIGHT)
            return false;
        const unsigned w = attributes.width, h = attributes.height - PROBE_HEADER_HEIGHT;
        XImage* image = XGetImage(display, window, 0, PROBE_HEADER_HEIGHT, w, h, AllPlanes, ZPixmap);
        if (!image)
            return false;
        bool found = false;
        for (unsigned j = 0; j < h && !found; ++j)
            for (unsigned i = 0; i < w && !found; ++i)
                found = XGetPixel(image, i, j) == image->red_mask;
        XDestroyImage(image);
        return found;
    }

    // A digest of the window's pixels, to tell one frame from another.
    uint64_t digest(unsigned w, unsigned h) {
        XImage* image = XGetImage(display, window, 0, 0, w, h, AllPlanes, ZPixmap);
        if (!image)
            return 0;
        uint64_t hash = 1469598103934665603ull;
        for (unsigned j = 0; j < h; ++j)
            for (unsigned i = 0; i < w; ++i)
                hash = (hash ^ XGetPixel(image, i, j)) * 1099511628211ull;
        XDestroyImage(image);
        return hash;
    }

    // Opens the display and gives the game's window the keyboard; 0 when
    // there is no window named Cratoria.
    Window open_game() {
        if (!open())
            return 0;
        Window root, parent, *children = nullptr, found = 0;
        unsigned int count = 0;
        if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
            for (unsigned int i = 0; i < count && !found; ++i) {
                char* name = nullptr;
                if (XFetchName(display, children[i], &name) && name) {
                    found = std::strcmp(name, "Cratoria") == 0 ? children[i] : 0;
                    XFree(name);
                }
            }
            XFree(children);
        }
        if (!found) {
            std::fprintf(stderr, "frame_probe: no window named Cratoria\n");
            return 0;
        }
        XSetInputFocus(display, found, RevertToParent, CurrentTime);
        XSync(display, False);
        return found;
    }

    void key(KeySym symbol, bool press) {
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, symbol), press ? True : False, CurrentTime);
        XFlush(display);
    }
};

// launch LOG PROGRAM [ARGS...]: starts the program with its output going to
// LOG and reports its process and when its first menu frame reached the
// screen, in milliseconds after the exec. The program is left running.
int launch(const char* log, char** argv) {
    TProbe probe;
    if (!probe.open())
        return 2;
    Display* display = probe.display;
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const int64_t start_us = now_us();
    const pid_t pid = fork();
    if (pid == 0) {
        // The program outlives the probe, and must not hold the probe's
        // output open for whoever reads it.
        if (!std::freopen(log, "a", stdout) || dup2(fileno(stdout), STDERR_FILENO) < 0)
            _exit(127);
        execvp(argv[0], argv);
        std::perror("frame_probe: exec");
        _exit(127);
    }
    if (pid < 0) {
        std::perror("frame_probe: fork");
        return 2;
    }

    const int64_t deadline = start_us + PROBE_START_TIMEOUT_MS * 1000;
    int64_t map_us = -1, menu_ms = -1, last_damage_ms = -1;
    auto note_damage = [&](const XEvent& event) {
        last_damage_ms = static_cast<int64_t>(reinterpret_cast<const XDamageNotifyEvent&>(event).timestamp);
    };
    // The server answers a read-back after every event it generated before,
    // so once the read-back shows the menu, the last damage queued by then
    // is the frame that drew it. Frames shown before the damage watch began
    // count at the time of the mapping.
    auto shows_menu = [&]() {
        XWindowAttributes attributes;
        XGetWindowAttributes(display, probe.window, &attributes);
        if (!probe.shows_menu(attributes))
            return false;
        XEvent queued;
        while (XEventsQueued(display, QueuedAlready) > 0) {
            XNextEvent(display, &queued);
            if (probe.is_damage(queued))
                note_damage(queued);
        }
        menu_ms = last_damage_ms >= 0 ? last_damage_ms : (map_us + 999) / 1000;
        return true;
    };
    XEvent event;
    while (menu_ms < 0) {
        if (!probe.next_event(event, deadline)) {
            std::fprintf(stderr, "frame_probe: no menu frame within %lld ms\n",
                         static_cast<long long>(PROBE_START_TIMEOUT_MS));
            // Nobody else knows the program's process to end it.
            kill(pid, SIGTERM);
            return 1;
        }
        if (event.type == MapNotify && map_us < 0 && event.xmap.event == DefaultRootWindow(display)) {
            map_us = now_us();
            probe.watch(event.xmap.window);
            shows_menu();
        } else if (probe.is_damage(event)) {
            note_damage(event);
            // Only the last of a burst of damage is looked at.
            if (!XPending(display))
                shows_menu();
        }
    }
    std::printf("pid %d menu %.1f\n", static_cast<int>(pid), menu_ms - start_us / 1000.0);
    return 0;
}

KeySym key_named(const char* name) {
    const KeySym symbol = XStringToKeysym(name);
    if (symbol == NoSymbol) {
        std::fprintf(stderr, "frame_probe: no key named %s\n", name);
        std::exit(2);
    }
    return symbol;
}

// steps COUNT KEY KEY...: presses the keys in turn, each briefly, and
// reports the median and the slowest time from a press to the frame that
// changed the window, in milliseconds.
int steps(int count, char** keys, int key_count) {
    TProbe probe;
    const Window top = probe.open_game();
    if (!top)
        return 2;
    Display* display = probe.display;
    probe.watch(top);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, top, &attributes);

    std::mt19937 random(7);
    std::vector<double> delays_ms;
    int32_t unchanged = 0;
    for (int i = 0; i < count; ++i) {
        usleep(std::uniform_int_distribution<int>(PROBE_GAP_MIN_MS, PROBE_GAP_MAX_MS)(random) * 1000);
        // Whatever damage came before the press is not this step's frame.
        XSync(display, False);
        XEvent event;
        while (XPending(display))
            XNextEvent(display, &event);
        const uint64_t before = probe.digest(attributes.width, attributes.height);

        const KeySym symbol = key_named(keys[i % key_count]);
        const int64_t press_us = now_us();
        probe.key(symbol, true);
        bool seen = false;
        const int64_t deadline = press_us + PROBE_FRAME_TIMEOUT_MS * 1000;
        while (!seen && probe.next_event(event, deadline)) {
            if (!probe.is_damage(event))
                continue;
            delays_ms.push_back((now_us() - press_us) / 1000.0);
            seen = true;
        }
        usleep(PROBE_HOLD_MS * 1000);
        probe.key(symbol, false);
        if (!seen) {
            std::fprintf(stderr, "frame_probe: no frame within %lld ms of pressing %s\n",
                         static_cast<long long>(PROBE_FRAME_TIMEOUT_MS), keys[i % key_count]);
            return 1;
        }
        unchanged += probe.digest(attributes.width, attributes.height) == before;
    }
    // When the probe read the damage event: a little late if the probe
    // itself waited for a core.
    std::sort(delays_ms.begin(), delays_ms.end());
    const size_t n = delays_ms.size();
    std::printf("steps %d median %.2f max %.2f unchanged_frames %d\n", count,
                n % 2 ? delays_ms[n / 2] : (delays_ms[n / 2 - 1] + delays_ms[n / 2]) / 2, delays_ms.back(), unchanged);
    return unchanged == 0 ? 0 : 1;
}

// key NAME...: presses and releases each key in turn, to the game's window.
int keys(char** names, int count) {
    TProbe probe;
    if (!probe.open_game())
        return 2;
    for (int i = 0; i < count; ++i) {
        const KeySym symbol = key_named(names[i]);
        probe.key(symbol, true);
        usleep(PROBE_HOLD_MS * 1000);
        probe.key(symbol, false);
        usleep(PROBE_HOLD_MS * 1000);
    }
    XSync(probe.display, False);
    return 0;
}

void usage() {
    std::fprintf(stderr, "usage: frame_probe launch LOG PROGRAM [ARGS...]\n"
                         "       frame_probe steps COUNT KEY [KEY...]\n"
                         "       frame_probe key KEY [KEY...]\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::strcmp(argv[1], "launch") == 0)
        return launch(argv[2], argv + 3);
    if (argc >= 4 && std::strcmp(argv[1], "steps") == 0)
        return steps(std::atoi(argv[2]), argv + 3, argc - 3);
    if (argc >= 3 && std::strcmp(argv[1], "key") == 0)
        return keys(argv + 2, argc - 2);
    usage();
    return 2;
}
