#include "XvfbServer.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vltest {

XvfbServer::~XvfbServer() {
    stop();
}

void XvfbServer::start(int width, int height, int timeoutMs) {
    if (m_pid > 0)
        return;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throw std::runtime_error("XvfbServer: pipe failed");
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        throw std::runtime_error("XvfbServer: fork failed");
    }
    if (pid == 0) {
        // The server must not outlive a test binary that crashes.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::_exit(127);
        ::close(fds[0]);
        // Xvfb writes the display number to this descriptor, so it must survive exec.
        const int out = ::dup(fds[1]);
        const std::string fd = std::to_string(out);
        const int devnull = ::open("/dev/null", O_RDWR);
        if (devnull >= 0) {
            ::dup2(devnull, 0);
            ::dup2(devnull, 1);
        }
        ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
                 "-noreset", static_cast<char *>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    m_pid = pid;

    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (text.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd p{fds[0], POLLIN, 0};
        const int r = ::poll(&p, 1, int(left.count()));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            break;
        char buf[64];
        const ssize_t n = ::read(fds[0], buf, sizeof buf);
        if (n <= 0)
            break; // the server died before it was ready
        text.append(buf, size_t(n));
    }
    ::close(fds[0]);
    const auto nl = text.find('\n');
    if (nl == std::string::npos || nl == 0) {
        stop();
        throw std::runtime_error("XvfbServer: Xvfb did not report a display (is it installed?)");
    }
    m_display = ":" + text.substr(0, nl);
}

void XvfbServer::stop() {
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGTERM);
    for (int i = 0; i < 300; ++i) {
        int status = 0;
        const pid_t r = ::waitpid(m_pid, &status, WNOHANG);
        if (r == m_pid || (r < 0 && errno == ECHILD)) {
            m_pid = -1;
            m_display.clear();
            return;
        }
        ::usleep(10000);
    }
    ::kill(m_pid, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;
    m_display.clear();
}

} // namespace vltest
