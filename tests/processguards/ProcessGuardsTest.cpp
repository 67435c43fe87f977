// Each program, started as a real process with core dumps allowed, turns them off (soft and hard
// limit 0) and is not dumpable, as the kernel reports them for the live process: the limits in
// /proc/<pid>/limits, and the owner of its /proc files, which turns to root when it is not dumpable.
#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// "Max core file size" of a live process as (soft, hard), as the kernel reports it.
QByteArray CoreLimitOf(qint64 pid) {
    QFile limits(QStringLiteral("/proc/%1/limits").arg(pid));
    if (!limits.open(QIODevice::ReadOnly)) return {};
    for (const QByteArray& line : limits.readAll().split('\n')) {
        if (!line.startsWith("Max core file size")) continue;
        const QList<QByteArray> words = line.mid(18).simplified().split(' ');
        if (words.size() >= 2) return words[0] + ' ' + words[1];
    }
    return {};
}

// The owner the kernel gives the process's /proc files: the process's own user while it is
// dumpable, root once it is not (the same flag closes /proc/<pid>/mem, environ and ptrace to
// processes of the same user).
long ProcOwnerOf(qint64 pid) {
    struct stat info {};
    if (::stat(QStringLiteral("/proc/%1/environ").arg(pid).toLocal8Bit().constData(), &info) != 0) return -1;
    return static_cast<long>(info.st_uid);
}

// A user other than root for the started programs when the test runs as root, so that a
// process that is not dumpable shows in the owner of its /proc files.
constexpr uid_t kPlainUser = 65534;
uid_t ProgramUser() { return ::geteuid() == 0 ? kPlainUser : ::geteuid(); }

// Core dumps allowed as far as this user may: the started program has to turn them off itself.
void AllowCoreDumps() {
    rlimit allowed{RLIM_INFINITY, RLIM_INFINITY};
    if (::setrlimit(RLIMIT_CORE, &allowed) == 0) return;
    ::getrlimit(RLIMIT_CORE, &allowed);
    allowed.rlim_cur = allowed.rlim_max;
    ::setrlimit(RLIMIT_CORE, &allowed);
}

void AllowCoreDumpsAsAPlainUser() {
    AllowCoreDumps();
    if (::geteuid() != 0) return;
    if (::setgroups(0, nullptr) != 0 || ::setgid(kPlainUser) != 0 || ::setuid(kPlainUser) != 0) ::_exit(121);
}

struct ProgramStart {
    const char* name;
    QString path;
    QStringList arguments;
};

class ProcessGuardsTest : public ::testing::TestWithParam<ProgramStart> {
protected:
    void SetUp() override {
        rlimit current{};
        ::getrlimit(RLIMIT_CORE, &current);
        if (current.rlim_max == 0 && ::geteuid() != 0) GTEST_SKIP() << "core dumps cannot be allowed here";
        ASSERT_TRUE(home.isValid());
        if (::geteuid() == 0) {
            ASSERT_EQ(::chown(QFile::encodeName(home.path()).constData(), kPlainUser, kPlainUser), 0);
        }
        QFile plain(home.filePath("plain.txt"));
        ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
        plain.write("a file to encrypt\n");
    }

    // Starts a program in a home of its own, where it stays running (a window, the companion's
    // loop, a password prompt on a pipe that stays open).
    void Start(QProcess& process, const QString& path, QStringList arguments) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        for (const char* variable : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"})
            environment.insert(variable, home.path());
        environment.remove("TESSAREL_EXIT_WHEN_IDLE");
        process.setProcessEnvironment(environment);
        process.setChildProcessModifier(AllowCoreDumpsAsAPlainUser);
        for (QString& argument : arguments) argument.replace("$HOME", home.path());
        process.start(path, arguments);
        ASSERT_TRUE(process.waitForStarted(10000));
    }

    static void Stop(QProcess& process) {
        process.kill();
        process.waitForFinished(10000);
    }

    QTemporaryDir home;
};

TEST_P(ProcessGuardsTest, NoCoreDumpAndNotDumpableWhileRunning) {
    // The check itself: a plain process started the same way keeps its core limit and is readable.
    QProcess plain;
    Start(plain, QStringLiteral("/bin/sleep"), {QStringLiteral("30")});
    EXPECT_NE(CoreLimitOf(plain.processId()), "0 0");
    EXPECT_EQ(ProcOwnerOf(plain.processId()), static_cast<long>(ProgramUser()));
    Stop(plain);

    QProcess program;
    Start(program, GetParam().path, GetParam().arguments);
    // The guards are the program's first act; poll until they show or the program ends.
    QByteArray core;
    long owner = -1;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 20000 && program.state() == QProcess::Running) {
        core = CoreLimitOf(program.processId());
        owner = ProcOwnerOf(program.processId());
        if (core == "0 0" && owner == 0) break;
        QThread::msleep(20);
    }
    EXPECT_EQ(program.state(), QProcess::Running) << program.readAllStandardError().toStdString();
    EXPECT_EQ(core, "0 0");
    EXPECT_EQ(owner, 0) << "still dumpable";
    Stop(program);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, ProcessGuardsTest,
    ::testing::Values(ProgramStart{"tessarel", QStringLiteral(TESSAREL_PROGRAM), {}},
                      ProgramStart{"cli", QStringLiteral(TESSAREL_CLI_PATH), {"encrypt-file", "$HOME/plain.txt"}},
                      ProgramStart{"browserd", QStringLiteral(TESSAREL_BROWSERD_PATH), {}}),
    [](const ::testing::TestParamInfo<ProgramStart>& started) { return std::string(started.param.name); });

}  // namespace
