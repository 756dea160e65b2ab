// Running hostile inputs in a child process, so a crash, hang or memory blow-up cannot take the test program down.
#pragma once

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <ostream>
#include <thread>

#include <gtest/gtest.h>

struct TChildResult {
    int status = -1;  // the exit status, or 128 and the signal that ended the child
    // Processor time, user and system: what the input cost, however busy the
    // machine was.
    double seconds = 0;
    long max_rss_mb = 0;
};

inline std::ostream& operator<<(std::ostream& out, const TChildResult& r) {
    return out << "status " << r.status << " after " << r.seconds << " s, " << r.max_rss_mb << " MB";
}

// Runs body in a forked child: its result is the child's exit status. A
// child still running after timeout_seconds of the clock is killed.
inline TChildResult run_in_child(const std::function<int()>& body, double timeout_seconds = 60) {
    std::fflush(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int status = body();
        std::fflush(nullptr);
        _exit(status);
    }
    TChildResult result;
    int status = 0;
    struct rusage usage = {};
    while (pid > 0 && wait4(pid, &status, WNOHANG, &usage) != pid) {
        if (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() > timeout_seconds)
            kill(pid, SIGKILL);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    result.seconds =
        usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    result.max_rss_mb = usage.ru_maxrss / 1024;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

// Bounds for one hostile input; the memory leaves room for the sanitizers'
// shadow memory on top of the largest grid.
constexpr double HOSTILE_SECONDS = 10;
#define EXPECT_WITHIN_BOUNDS(result)                                                                                   \
    do {                                                                                                               \
        EXPECT_LT((result).seconds, HOSTILE_SECONDS) << (result);                                                      \
        EXPECT_LT((result).max_rss_mb, 1024) << (result);                                                              \
    } while (0)
