// Start-up time of the real program: from the start of its process to its main window shown, watched
// on the X server. Each copy is ended (after its start-up backup) before the next starts, as the
// single-instance guard refuses a second copy in the same program folder.
// Usage: kvz_bench_startup <kvz in its program folder> <backup folder> <runs> <log file>
#include "MapWatcher.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char **environ;

namespace {

const char *const kTitle = "ZANTO POS SQL YEDEKLEME MODÜLÜ";

int fail(const char *what)
{
    std::fprintf(stderr, "kvz_bench_startup: %s\n", what);
    return 1;
}

long backupCount(const std::filesystem::path &folder)
{
    long count = 0;
    for (const auto &entry : std::filesystem::directory_iterator(folder))
        count += entry.path().extension() == ".bak";
    return count;
}

bool waitForBackupBeyond(const std::filesystem::path &folder, long count, std::chrono::seconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (backupCount(folder) <= count) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

pid_t spawn(const char *program, const char *log)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log, O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    char *const argv[] = {const_cast<char *>(program), nullptr};
    pid_t pid = -1;
    const int error = posix_spawn(&pid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
}

void stop(pid_t pid)
{
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 5)
        return fail("usage: kvz_bench_startup <kvz> <backup folder> <runs> <log file>");
    const char *program = argv[1];
    const std::filesystem::path backups = argv[2];
    const int runs = std::max(1, std::atoi(argv[3]));

    for (int run = 0; run < runs; ++run) {
        MapWatcher watcher(kTitle);
        if (!watcher.isConnected())
            return fail("cannot watch the X server ($DISPLAY)");
        const long before = backupCount(backups);
        const auto start = std::chrono::steady_clock::now();
        const pid_t pid = spawn(program, argv[4]);
        if (pid < 0)
            return fail("cannot start the program");
        const bool shown = watcher.waitForMap(std::chrono::seconds(20));
        const auto end = std::chrono::steady_clock::now();
        if (!shown) {
            stop(pid);
            return fail("the main window was not shown within 20 s");
        }
        std::printf("sample startup.window_shown_ms %.3f\n",
                    std::chrono::duration<double, std::milli>(end - start).count());
        std::fflush(stdout);
        const bool backedUp = waitForBackupBeyond(backups, before, std::chrono::seconds(30));
        stop(pid);
        if (!backedUp)
            return fail("the start-up backup was not written");
        // The next copy's file must be named in a later second than this one's.
        std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    }
    return 0;
}
