#include "app_clock.h"

#include <ctime>

namespace {

qint64 (*g_clock)() = nullptr;

} // namespace

qint64 AppClock::now() {
    return g_clock ? g_clock() : qint64(std::time(nullptr));
}

void AppClock::setClock(qint64 (*clock)()) {
    g_clock = clock;
}
