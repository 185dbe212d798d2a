#pragma once

// Runs a piece of a test in a forked child process: another program holding the database, or a
// program killed with SIGKILL half way through its work.

#include <csignal>
#include <functional>
#include <poll.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace natalis::test {

class ChildProcess
{
public:
    // work runs in the child; its result is the child's exit code.
    explicit ChildProcess(const std::function<int()> &work)
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(fds[0]);
            readyFd() = fds[1];
            ::_exit(work());
        }
        ::close(fds[1]);
        m_ready = fds[0];
    }
    // One owner ends the child or unmounts the file system, never two.
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    ~ChildProcess()
    {
        if (m_pid > 0 && !m_reaped)
            kill();
        if (m_ready >= 0)
            ::close(m_ready);
    }

    // In the child: tells the parent that the work has reached its point.
    static void signalReady()
    {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(readyFd(), &byte, 1);
    }

    // In the parent: true once the child called signalReady (false after 10 s or when it ended).
    bool waitReady() const
    {
        pollfd p { m_ready, POLLIN, 0 };
        char byte = 0;
        return m_ready >= 0 && ::poll(&p, 1, 10'000) == 1 && ::read(m_ready, &byte, 1) == 1;
    }

    // The child's exit code, -1 when it did not exit normally.
    int wait()
    {
        int status = 0;
        if (m_pid <= 0 || ::waitpid(m_pid, &status, 0) != m_pid)
            return -1;
        m_reaped = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    void kill()
    {
        if (m_pid <= 0 || m_reaped)
            return;
        ::kill(m_pid, SIGKILL);
        wait();
    }

private:
    static int &readyFd()
    {
        static int fd = -1;
        return fd;
    }

    pid_t m_pid = -1;
    int m_ready = -1;
    bool m_reaped = false;
};

} // namespace natalis::test
