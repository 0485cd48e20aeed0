// Starts a program and prints how many milliseconds passed until a pixel of the screen
// showed a colour, then its process id; the program is left running.
// usage: vireo_first_paint X Y RRGGBB TIMEOUT_MS -- PROGRAM [ARGS...]
// Prints "MS PID", or "0 PID" when the colour did not show in time.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

int main(int argc, char** argv) {
    if (argc < 7 || std::strcmp(argv[5], "--") != 0) {
        std::fprintf(stderr, "usage: %s X Y RRGGBB TIMEOUT_MS -- PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    int x = std::atoi(argv[1]), y = std::atoi(argv[2]);
    unsigned long want = std::strtoul(argv[3], nullptr, 16);
    int timeoutMs = std::atoi(argv[4]);
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no display\n");
        return 1;
    }
    Window root = DefaultRootWindow(display);
    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        // The program's output goes nowhere, so a reader of ours sees our line and our end.
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execvp(argv[6], argv + 6);
        _exit(127);
    }
    long elapsed = 0;
    while (true) {
        long now =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
                .count();
        if (now > timeoutMs)
            break;
        if (XImage* image = XGetImage(display, root, x, y, 1, 1, AllPlanes, ZPixmap)) {
            unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
            XDestroyImage(image);
            if (pixel == want) {
                elapsed = now;
                break;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    std::printf("%ld %d\n", elapsed, static_cast<int>(pid));
    XCloseDisplay(display);
    return 0;
}
