// Hostile inputs run in a child process of their own, so that a crash, a
// hang or a memory blow-up is measured and reported instead of taking the
// test program down.
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

// Bounds for one hostile input; the memory bound leaves room for the
// sanitizers' shadow memory on top of the largest grid.
constexpr double CHILD_MAX_SECONDS = 10.0;
constexpr long CHILD_MAX_RSS_MB = 1024;

struct TChildResult {
    bool exited = false;
    int status = -1;  // exit status, or the signal that ended the child
    bool timed_out = false;
    double seconds = 0;
    long max_rss_mb = 0;
};

inline std::ostream& operator<<(std::ostream& out, const TChildResult& r) {
    return out << (r.timed_out ? "timed out"
                   : r.exited  ? "exit "
                               : "signal ")
               << r.status << " after " << r.seconds << " s, " << r.max_rss_mb << " MB";
}

// Runs body in a forked child: its result is the child's exit status. A
// child still running after timeout_seconds is killed.
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
    if (pid < 0)
        return result;
    int status = 0;
    struct rusage usage = {};
    while (wait4(pid, &status, WNOHANG, &usage) != pid) {
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (elapsed > timeout_seconds && !result.timed_out) {
            result.timed_out = true;
            kill(pid, SIGKILL);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.max_rss_mb = usage.ru_maxrss / 1024;
    result.exited = WIFEXITED(status);
    result.status = result.exited ? WEXITSTATUS(status) : WIFSIGNALED(status) ? WTERMSIG(status) : -1;
    return result;
}

#define EXPECT_WITHIN_BOUNDS(result)                                                                                   \
    do {                                                                                                               \
        EXPECT_FALSE((result).timed_out) << (result);                                                                  \
        EXPECT_LT((result).seconds, CHILD_MAX_SECONDS) << (result);                                                    \
        EXPECT_LT((result).max_rss_mb, CHILD_MAX_RSS_MB) << (result);                                                  \
    } while (0)
