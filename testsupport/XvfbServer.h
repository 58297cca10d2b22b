#pragma once
// A private X server for one test process: Xvfb started with -displayfd (it picks a free
// display number and tells us when it is ready), no window manager, no TCP, stopped by
// its own pid. The Qt test main starts one for binaries built with XVFB; a test that
// needs a second display makes another instance.

#include <string>
#include <sys/types.h>

namespace vltest {

class XvfbServer {
public:
    XvfbServer() = default;
    ~XvfbServer();
    XvfbServer(const XvfbServer &) = delete;
    XvfbServer &operator=(const XvfbServer &) = delete;

    // Starts the server with one screen of that size and waits (bounded) until it accepts
    // clients; throws std::runtime_error when it cannot start or stays silent.
    void start(int width = 1024, int height = 768, int timeoutMs = 20000);
    // SIGTERM to our child only (SIGKILL when it lingers), then reaps it.
    void stop();

    // ":N" once started, empty before.
    [[nodiscard]] const std::string &display() const { return m_display; }
    [[nodiscard]] bool running() const { return m_pid > 0; }

private:
    pid_t m_pid = -1;
    std::string m_display;
};

} // namespace vltest
