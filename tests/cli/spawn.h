#pragma once

// Runs a program and collects its exit status and output.  posix_spawn, not
// fork: the test process runs server threads, and a fork of a threaded
// process is not something ThreadSanitizer follows.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char **environ;

struct SpawnResult
{
    int exitCode = -1; // -1: killed or not started
    QByteArray out;
    QByteArray err;
};

// A started program whose output goes to two files.
struct SpawnedProgram
{
    pid_t pid = -1; // -1: not started
    QTemporaryDir outDir;
    std::string outPath = (outDir.path() + QStringLiteral("/out")).toStdString();
    std::string errPath = (outDir.path() + QStringLiteral("/err")).toStdString();
};

// `env` changes: a value replaces or adds the variable, an empty value removes it.
// `stdinFile`, when given, is the program's standard input.
inline void Spawn(SpawnedProgram &p, const QString &program, const QStringList &args, const QString &workDir,
                  const std::map<std::string, std::string> &env, const QString &stdinFile = QString())
{
    const std::string &outPath = p.outPath;
    const std::string &errPath = p.errPath;

    std::vector<std::string> argStore{program.toStdString()};
    for (const QString &a : args)
        argStore.push_back(a.toStdString());
    std::vector<char *> argv;
    for (std::string &a : argStore)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    std::vector<std::string> envStore;
    for (char **e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        if (!env.count(name))
            envStore.push_back(entry);
    }
    for (const auto &[name, value] : env)
        if (!value.empty())
            envStore.push_back(name + "=" + value);
    std::vector<char *> envp;
    for (std::string &e : envStore)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    // The child starts in `workDir`: the program folder is the current folder.
    const std::string shell = "cd \"$0\" && exec \"$@\"";
    std::vector<char *> shArgv{const_cast<char *>("/bin/sh"), const_cast<char *>("-c"),
                               const_cast<char *>(shell.c_str())};
    std::string dir = workDir.toStdString();
    shArgv.push_back(dir.data());
    for (char *a : argv)
        shArgv.push_back(a);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const std::string inPath = stdinFile.toStdString();
    if (!inPath.empty())
        posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, "/bin/sh", &actions, nullptr, shArgv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc == 0)
        p.pid = pid;
}

// Waits for the program (killing it after `timeoutMs`) and collects its output.
inline SpawnResult WaitForProgram(SpawnedProgram &p, int timeoutMs)
{
    SpawnResult r;
    const pid_t pid = p.pid;
    if (pid < 0)
        return r;
    int status = 0;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const pid_t w = waitpid(pid, &status, WNOHANG);
        if (w == pid)
            break;
        if (std::chrono::steady_clock::now() > until) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return r;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (WIFEXITED(status))
        r.exitCode = WEXITSTATUS(status);
    QFile o(QString::fromStdString(p.outPath)), e(QString::fromStdString(p.errPath));
    if (o.open(QIODevice::ReadOnly))
        r.out = o.readAll();
    if (e.open(QIODevice::ReadOnly))
        r.err = e.readAll();
    return r;
}

inline SpawnResult SpawnAndWait(const QString &program, const QStringList &args, const QString &workDir,
                                const std::map<std::string, std::string> &env, int timeoutMs,
                                const QString &stdinFile = QString())
{
    SpawnedProgram p;
    Spawn(p, program, args, workDir, env, stdinFile);
    return WaitForProgram(p, timeoutMs);
}
