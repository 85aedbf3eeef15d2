// SPDX-License-Identifier: MIT
// peak_launcher PEAK-FILE PROGRAM [ARG...]
//
// Runs PROGRAM as its child, writes the child's peak resident memory in KiB
// to PEAK-FILE and ends as the child ended. A child forked straight from a
// test process starts with that process's resident memory as its peak (the
// kernel carries the forked copy's high-water mark through exec); forked
// from this small program instead, its peak is its own.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: peak_launcher PEAK-FILE PROGRAM [ARG...]\n", stderr);
        return 127;
    }
    const pid_t pid = fork();
    if (pid < 0) {
        return 127;
    }
    if (pid == 0) {
        alarm(60);  // a hang fails instead of blocking the suite
        execv(argv[2], argv + 2);
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (wait4(pid, &status, 0, &usage) != pid) {
        return 127;
    }
    std::FILE* peak = std::fopen(argv[1], "w");
    if (peak == nullptr || std::fprintf(peak, "%ld\n", usage.ru_maxrss) < 0 ||
        std::fclose(peak) != 0) {
        return 127;
    }
    if (WIFSIGNALED(status)) {
        // End by the same signal, so the caller sees what the child did.
        std::signal(WTERMSIG(status), SIG_DFL);
        std::raise(WTERMSIG(status));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 127;
}
