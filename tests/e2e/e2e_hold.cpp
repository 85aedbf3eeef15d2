// SPDX-License-Identifier: MIT
// e2e-hold: stops a process (SIGSTOP) the moment a file of a folder whose name
// starts with a prefix is made or written to, or a file of the folder that
// has no name (O_TMPFILE, told as #INODE) is written to, so that a test finds
// the process in the middle of writing that file, however fast the machine is.
//
//   e2e-hold FOLDER PREFIX PID SECONDS
//
// Prints "watching" once the folder is watched (let the writing start only
// then), and the file's name once the process is stopped. Exit status 0
// then, 1 when no such file was written within SECONDS, 2 on a wrong
// argument or a failed system call.
#include <poll.h>
#include <sys/inotify.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// A whole positive number, or 0.
long positive(const char* text) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    return errno == 0 && end != text && *end == '\0' && value > 0 ? value : 0;
}

// Of the events read, the name of the first file named with `prefix`, or null.
const char* written(const char* events, ssize_t length, const std::string& prefix) {
    const char* p = events;
    while (p < events + length) {
        inotify_event event{};
        std::memcpy(&event, p, sizeof event);
        const char* name = p + sizeof event;
        if (event.len > 0 &&
            (std::strncmp(name, prefix.c_str(), prefix.size()) == 0 || name[0] == '#')) {
            return name;
        }
        p += sizeof event + event.len;
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    const long pid = argc == 5 ? positive(argv[3]) : 0;
    const long seconds = argc == 5 ? positive(argv[4]) : 0;
    if (pid == 0 || seconds == 0 || argv[2][0] == '\0') {
        std::fprintf(stderr, "usage: e2e-hold FOLDER PREFIX PID SECONDS\n");
        return 2;
    }
    const std::string prefix = argv[2];
    const int fd = inotify_init1(IN_CLOEXEC);
    if (fd < 0 || inotify_add_watch(fd, argv[1], IN_CREATE | IN_MODIFY) < 0) {
        std::perror("e2e-hold: inotify");
        return 2;
    }
    std::printf("watching\n");
    std::fflush(stdout);
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(seconds);
    alignas(inotify_event) char events[16 * 1024];
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            std::fprintf(stderr, "e2e-hold: no file %s* written in %s within %ld s\n",
                         prefix.c_str(), argv[1], seconds);
            return 1;
        }
        pollfd ready{fd, POLLIN, 0};
        const int polled = poll(&ready, 1, static_cast<int>(left));
        const ssize_t length = polled > 0 ? read(fd, events, sizeof events) : 0;
        if (polled < 0 || length < 0) {
            if (errno == EINTR) {
                continue;
            }
            std::perror("e2e-hold: waiting");
            return 2;
        }
        if (const char* name = written(events, length, prefix)) {
            if (kill(static_cast<pid_t>(pid), SIGSTOP) != 0) {
                std::perror("e2e-hold: kill");
                return 2;
            }
            std::printf("%s\n", name);
            return 0;
        }
    }
}
