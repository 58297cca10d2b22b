#include "ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vltest {

CommandResult runCommand(const std::vector<std::string> &argv, const std::string &input) {
    CommandResult r;
    int inPipe[2], outPipe[2], errPipe[2];
    if (pipe2(inPipe, O_CLOEXEC) || pipe2(outPipe, O_CLOEXEC) || pipe2(errPipe, O_CLOEXEC))
        return r;
    const pid_t pid = fork();
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        dup2(inPipe[0], 0);
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        std::vector<char *> args;
        for (const auto &a : argv)
            args.push_back(const_cast<char *>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(inPipe[0]);
    close(outPipe[1]);
    close(errPipe[1]);
    if (pid < 0) {
        close(inPipe[1]);
        close(outPipe[0]);
        close(errPipe[0]);
        return r;
    }
    // Feed and drain together so that neither side blocks on a full pipe.
    std::signal(SIGPIPE, SIG_IGN);
    size_t written = 0;
    int inFd = inPipe[1];
    if (input.empty()) {
        close(inFd);
        inFd = -1;
    } else {
        fcntl(inFd, F_SETFL, O_NONBLOCK);
    }
    bool outOpen = true, errOpen = true;
    char buf[65536];
    while (outOpen || errOpen || inFd >= 0) {
        pollfd fds[3];
        int n = 0;
        int outIdx = -1, errIdx = -1, inIdx = -1;
        if (outOpen) {
            fds[n] = {outPipe[0], POLLIN, 0};
            outIdx = n++;
        }
        if (errOpen) {
            fds[n] = {errPipe[0], POLLIN, 0};
            errIdx = n++;
        }
        if (inFd >= 0) {
            fds[n] = {inFd, POLLOUT, 0};
            inIdx = n++;
        }
        if (poll(fds, n, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        auto drain = [&](int idx, int fd, bool &open, std::string &to) {
            if (idx < 0 || !(fds[idx].revents & (POLLIN | POLLHUP | POLLERR)))
                return;
            const ssize_t got = read(fd, buf, sizeof buf);
            if (got > 0)
                to.append(buf, size_t(got));
            else if (got == 0 || errno != EINTR)
                open = false;
        };
        drain(outIdx, outPipe[0], outOpen, r.out);
        drain(errIdx, errPipe[0], errOpen, r.err);
        if (inIdx >= 0 && (fds[inIdx].revents & (POLLOUT | POLLERR | POLLHUP))) {
            const ssize_t put = write(inFd, input.data() + written, input.size() - written);
            if (put > 0)
                written += size_t(put);
            if (put < 0 && errno != EAGAIN && errno != EINTR)
                written = input.size();
            if (written >= input.size()) {
                close(inFd);
                inFd = -1;
            }
        }
    }
    close(outPipe[0]);
    close(errPipe[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

bool haveProgram(const std::string &name) {
    return runCommand({"sh", "-c", "command -v \"$0\" >/dev/null", name}).exitCode == 0;
}

} // namespace vltest
