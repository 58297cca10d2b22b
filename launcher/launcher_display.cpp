#include "launcher_display.h"

#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The value after an option such as "-display" (Qt also takes "--display"); null if absent.
const char *optionValue(int argc, char **argv, const char *option) {
    const char *value = nullptr;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], option) == 0 || (argv[i][0] == '-' && std::strcmp(argv[i] + 1, option) == 0))
            value = argv[i + 1];
    return value;
}

} // namespace

bool launcherDisplayUsable(int argc, char **argv) {
    std::string platform;
    if (const char *chosen = optionValue(argc, argv, "-platform"))
        platform = chosen;
    else if (const char *env = std::getenv("QT_QPA_PLATFORM"); env && *env)
        platform = env;
    else
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    // "xcb:option=value" is still xcb.
    if (!platform.empty() && platform.substr(0, platform.find(':')) != "xcb")
        return true;

    const char *name = optionValue(argc, argv, "-display");
    if (!name)
        name = std::getenv("DISPLAY");
    if (name && *name) {
        if (Display *display = XOpenDisplay(name)) {
            XCloseDisplay(display);
            return true;
        }
    }
    std::fprintf(stderr, "velloran: %s: cannot open X display\n", name && *name ? name : "(unset)");
    return false;
}
