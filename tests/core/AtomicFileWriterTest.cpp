#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>

#include "core/AtomicFileWriter.h"
#include "core/FileFaults.h"
#include "support/TempDir.h"

namespace tessarel {
namespace {

using Bytes = std::vector<std::uint8_t>;

class StepFault : public FileFaults {
public:
    StepFault(FileStep s, std::size_t i, int e) : step(s), index(i), error(e) {}
    int Inject(FileStep s, const std::string&, std::size_t i) override { return s == step && i == index ? error : 0; }
    FileStep step;
    std::size_t index;
    int error;
};

std::size_t Entries(const std::string& dir) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

TEST(AtomicFileWriter, EveryFailurePointLeavesTheTargetAndNoLeftovers) {
    testing::TempDir dir;
    const std::string target = dir.File("data.bin");
    const Bytes old = {'o', 'l', 'd'};
    testing::WriteBytes(target, old);
    const Bytes big(3 * AtomicFileWriter::kChunkSize + 17, 0x42);

    const StepFault faults[] = {
        {FileStep::Create, 0, EACCES}, {FileStep::Write, 0, ENOSPC}, {FileStep::Write, 2, EIO},
        {FileStep::Write, 3, ENOSPC},  {FileStep::Flush, 0, EIO},    {FileStep::Rename, 0, EROFS},
    };
    for (auto fault : faults) {
        SetFileFaults(&fault);
        std::string error;
        EXPECT_FALSE(WriteFileAtomically(target, big, &error));
        SetFileFaults(nullptr);
        EXPECT_EQ(error, std::strerror(fault.error));
        EXPECT_EQ(testing::ReadBytes(target), old);
        EXPECT_EQ(Entries(dir.Path()), 1u);
    }
    EXPECT_TRUE(WriteFileAtomically(target, big));
    EXPECT_EQ(testing::ReadBytes(target), big);
    EXPECT_EQ(Entries(dir.Path()), 1u);
}

TEST(AtomicFileWriter, NewFilesAreOwnerOnly) {
    testing::TempDir dir;
    const std::string target = dir.File("new.qdf");
    ASSERT_TRUE(WriteFileAtomically(target, Bytes{1, 2, 3}));
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

Bytes Saved(const char* text) { return Bytes(text, text + std::strlen(text)); }

unsigned ModeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777u : 0u;
}

bool IsLink(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

TEST(AtomicFileWriter, OverwritingKeepsThePermissionBits) {
    for (const unsigned mode : {0600u, 0640u, 0644u, 0664u, 0400u, 0755u}) {
        SCOPED_TRACE(mode);
        testing::TempDir dir;
        const std::string target = dir.File("cards.qdf");
        testing::WriteBytes(target, Saved("old"));
        ASSERT_EQ(::chmod(target.c_str(), mode), 0);
        ASSERT_TRUE(WriteFileAtomically(target, Saved("new")));
        EXPECT_EQ(testing::ReadBytes(target), Saved("new"));
        EXPECT_EQ(ModeOf(target), mode);
        EXPECT_EQ(Entries(dir.Path()), 1u);
    }
}

// The link stays a link to the same name, and the file it leads to gets the bytes.
TEST(AtomicFileWriter, SavingThroughALinkWritesWhereItLeads) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> links;  // link name, what it holds
        std::string saved;                                       // the name the caller saves to
        std::string written;                                     // the file that must get the bytes
        bool existed;
    };
    const Case cases[] = {
        {"relative into a folder", {{"cards.qdf", "real/cards.qdf"}}, "cards.qdf", "real/cards.qdf", true},
        {"chain with an absolute hop", {{"a.qdf", "@/b.qdf"}, {"b.qdf", "real/c.qdf"}}, "a.qdf", "real/c.qdf", true},
        {"relative from a subfolder", {{"link/x.qdf", "../real/c.qdf"}}, "link/x.qdf", "real/c.qdf", true},
        {"dangling", {{"new.qdf", "real/missing.qdf"}}, "new.qdf", "real/missing.qdf", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::TempDir dir;
        std::filesystem::create_directory(dir.File("real"));
        std::filesystem::create_directory(dir.File("link"));
        const std::string written = dir.File(c.written);
        if (c.existed) {
            testing::WriteBytes(written, Saved("old"));
            ASSERT_EQ(::chmod(written.c_str(), 0640), 0);
        }
        for (const auto& [name, to] : c.links) {
            const std::string where = to.front() == '@' ? dir.Path() + to.substr(1) : to;
            ASSERT_EQ(::symlink(where.c_str(), dir.File(name).c_str()), 0) << name;
        }
        ASSERT_TRUE(WriteFileAtomically(dir.File(c.saved), Saved("new")));
        EXPECT_EQ(testing::ReadBytes(written), Saved("new"));
        EXPECT_EQ(ModeOf(written), c.existed ? 0640u : 0600u);
        for (const auto& [name, to] : c.links) EXPECT_TRUE(IsLink(dir.File(name))) << name;
        EXPECT_EQ(Entries(dir.File("real")), 1u);
    }
}

TEST(AtomicFileWriter, ALinkLoopIsRefusedAndChangesNothing) {
    testing::TempDir dir;
    ASSERT_EQ(::symlink("b", dir.File("a").c_str()), 0);
    ASSERT_EQ(::symlink("a", dir.File("b").c_str()), 0);
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(dir.File("a"), Saved("new"), &error));
    EXPECT_EQ(error, std::strerror(ELOOP));
    EXPECT_TRUE(IsLink(dir.File("a")));
    EXPECT_TRUE(IsLink(dir.File("b")));
    EXPECT_EQ(Entries(dir.Path()), 2u);
}

// The single-file tool's output stands in for its input, which it then replaces.
TEST(AtomicFileWriter, ANewFileCanTakeTheModeOfTheFileItStandsFor) {
    testing::TempDir dir;
    const std::string input = dir.File("page.html");
    testing::WriteBytes(input, Saved("plain"));
    ASSERT_EQ(::chmod(input.c_str(), 0644), 0);
    AtomicFileWriter writer(dir.File("page.h~~~"));
    writer.KeepModeOf(input);
    ASSERT_TRUE(writer.Open() && writer.Write(Saved("cipher")) && writer.Commit());
    EXPECT_EQ(ModeOf(dir.File("page.h~~~")), 0644u);

    // An existing target wins over the file named, and a missing one leaves the new file 0600.
    AtomicFileWriter again(dir.File("page.h~~~"));
    again.KeepModeOf(dir.File("nothing here"));
    ASSERT_TRUE(again.Open() && again.Commit());
    EXPECT_EQ(ModeOf(dir.File("page.h~~~")), 0644u);
    AtomicFileWriter fresh(dir.File("other"));
    fresh.KeepModeOf(dir.File("nothing here"));
    ASSERT_TRUE(fresh.Open() && fresh.Commit());
    EXPECT_EQ(ModeOf(dir.File("other")), 0600u);
}

TEST(AtomicFileWriter, MissingFolderIsReported) {
    std::string error;
    EXPECT_FALSE(WriteFileAtomically("/nonexistent-folder-for-test/x.qdf", Bytes{1}, &error));
    EXPECT_EQ(error, "No such file or directory");
}

TEST(AtomicFileWriter, DiscardedWriterLeavesNothing) {
    testing::TempDir dir;
    {
        AtomicFileWriter writer(dir.File("a"));
        ASSERT_TRUE(writer.Open());
        ASSERT_TRUE(writer.Write(Bytes(10, 1)));
    }
    EXPECT_EQ(Entries(dir.Path()), 0u);
}

// A process killed in the middle of a save leaves the old file or the new one, never a mix.
TEST(AtomicFileWriter, KilledMidSaveLeavesOldOrNewComplete) {
    testing::TempDir dir;
    const std::string target = dir.File("cards.qdf");
    const Bytes old(1000, 'o');
    testing::WriteBytes(target, old);
    const Bytes fresh(4 * AtomicFileWriter::kChunkSize, 'n');

    // The child stops itself right before a chosen step; the parent kills it there.
    const FileStep stops[] = {FileStep::Write, FileStep::Flush, FileStep::Rename};
    for (FileStep stop : stops) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            class Stopper : public FileFaults {
            public:
                explicit Stopper(FileStep s) : at(s) {}
                int Inject(FileStep s, const std::string&, std::size_t index) override {
                    if (s == at && (s != FileStep::Write || index == 2)) ::raise(SIGSTOP);
                    return 0;
                }
                FileStep at;
            } stopper(stop);
            SetFileFaults(&stopper);
            WriteFileAtomically(target, fresh);
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, WUNTRACED), child);
        ASSERT_TRUE(WIFSTOPPED(status));
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        EXPECT_EQ(testing::ReadBytes(target), old);
    }
    // Killed just after the rename: the new file is there, whole.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        WriteFileAtomically(target, fresh);
        ::raise(SIGKILL);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(testing::ReadBytes(target), fresh);
}

}  // namespace
}  // namespace tessarel
