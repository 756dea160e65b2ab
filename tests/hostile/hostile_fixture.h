// Scratch directories and child processes for hostile inputs: each case runs
// in a child of its own, so a crash, a hang or a memory blow-up is measured
// and reported instead of taking the test program down.
#pragma once

#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

// The user and group a root test falls back to, so that permissions bite.
constexpr uid_t NOBODY_UID = 65534;
constexpr gid_t NOBODY_GID = 65534;

// Bounds for a single hostile input. The memory bound leaves room for the
// sanitizers' shadow memory and quarantine on top of the largest grid.
constexpr double CASE_MAX_SECONDS = 10.0;
constexpr long CASE_MAX_RSS_MB = 1024;

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

// Runs body in a forked child and returns its exit status (body's result),
// its wall time and its peak resident memory. A child still running after
// timeout_seconds is killed.
inline TChildResult run_in_child(const std::function<int()>& body, double timeout_seconds = 60) {
    std::fflush(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        int status = 100;
        try {
            status = body();
        } catch (...) {
            status = 101;
        }
        std::fflush(nullptr);
        _exit(status);
    }
    TChildResult result;
    if (pid < 0)
        return result;
    int status = 0;
    struct rusage usage = {};
    for (;;) {
        const pid_t done = wait4(pid, &status, WNOHANG, &usage);
        if (done == pid)
            break;
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

// Sends the standard error stream of this (child) process to a file.
inline void redirect_stderr(const std::string& path) {
    std::fflush(stderr);
    if (!std::freopen(path.c_str(), "w", stderr))
        _exit(102);
}

// Gives up root for good; false when this process cannot.
inline bool become_nobody() {
    return setgroups(0, nullptr) == 0 && setgid(NOBODY_GID) == 0 && setuid(NOBODY_UID) == 0 && geteuid() != 0;
}

// A fresh directory under the system's temporary directory that another user
// may enter, removed with everything in it afterwards.
class TScratchDir {
public:
    TScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "cratoria-hostile-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("no scratch directory");
        path = pattern;
        chmod(path.c_str(), 0755);
    }
    ~TScratchDir() {
        std::error_code ignored;
        std::filesystem::permissions(path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                     ignored);
        std::filesystem::remove_all(path, ignored);
    }
    TScratchDir(const TScratchDir&) = delete;
    TScratchDir& operator=(const TScratchDir&) = delete;

    std::string operator/(const std::string& name) const { return path + "/" + name; }

    std::string path;
};

inline void write_file(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string read_file(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

// Writes a file of repeat copies of block, one block at a time, so a file of
// hundreds of megabytes costs the test no more memory than a block.
inline void write_repeated(const std::string& path, const std::string& head, const std::string& block, size_t repeat,
                           const std::string& tail) {
    std::ofstream file(path, std::ios::binary);
    file << head;
    for (size_t i = 0; i < repeat; ++i)
        file.write(block.data(), static_cast<std::streamsize>(block.size()));
    file << tail;
}

// A reproducible stream of bytes for the damaged files.
class TNoise {
public:
    explicit TNoise(uint32_t seed) : state(seed) {}
    uint32_t next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    std::string bytes(size_t size) {
        std::string text(size, '\0');
        for (char& c : text)
            c = static_cast<char>(next() >> 24);
        return text;
    }

private:
    uint32_t state;
};

#define EXPECT_WITHIN_BOUNDS(result)                                                                                   \
    do {                                                                                                               \
        EXPECT_FALSE((result).timed_out) << (result);                                                                  \
        EXPECT_LT((result).seconds, CASE_MAX_SECONDS) << (result);                                                     \
        EXPECT_LT((result).max_rss_mb, CASE_MAX_RSS_MB) << (result);                                                   \
    } while (0)
