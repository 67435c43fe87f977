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
