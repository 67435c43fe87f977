// Every kind of save the program makes, failed at each point where the file system can fail it:
// every write, the flush, the rename, a full disk and a read-only folder, both through the failure
// seam and, where this machine lets a test mount file systems, for real. Each failure must leave
// the folder exactly as it was and say so; a process killed in the middle of a save must leave
// every file either as it was or as the finished save makes it.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <random>

#include "cardstore/CardFileFormat.h"
#include "cardstore/SealedCardFile.h"
#include "core/FileFaults.h"
#include "filecrypt/ExpectedMessages.h"
#include "filecrypt/FileEncryptionOperations.h"
#include "filecrypt/FileEncryptionState.h"
#include "support/MustRun.h"
#include "support/ScriptedUserInterface.h"
#include "support/TempDir.h"

namespace tessarel {
namespace {

namespace fs = std::filesystem;
namespace msg = expected_messages;
using Bytes = std::vector<std::uint8_t>;

struct FileState {
    Bytes bytes;
    unsigned mode = 0;
    bool operator==(const FileState&) const = default;
};
using Snapshot = std::map<std::string, FileState>;

Snapshot TakeSnapshot(const std::string& folder) {
    Snapshot snapshot;
    for (const auto& entry : fs::directory_iterator(folder)) {
        struct stat info {};
        ::lstat(entry.path().c_str(), &info);
        snapshot[entry.path().filename().string()] = {testing::ReadBytes(entry.path().string()), info.st_mode & 07777u};
    }
    return snapshot;
}

Bytes Random(std::size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    Bytes bytes(size);
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(generator());
    return bytes;
}

// Fails one step of the file layer with an errno, or stops the process there (for the kill tests).
// Remembers how far the save got, so a loop over the writes knows when it has passed the last.
class FaultAt : public FileFaults {
public:
    FaultAt(FileStep step_, std::size_t index_, int error_) : step(step_), index(index_), error(error_) { previous = SetFileFaults(this); }
    ~FaultAt() override { SetFileFaults(previous); }
    FaultAt(const FaultAt&) = delete;
    FaultAt& operator=(const FaultAt&) = delete;

    int Inject(FileStep at, const std::string&, std::size_t count) override {
        if (at != step || count != index) return 0;
        ++hits;
        if (error == kStop) ::raise(SIGSTOP);
        return error == kStop ? 0 : error;
    }

    static constexpr int kStop = -1;
    int hits = 0;

private:
    FileStep step;
    std::size_t index;
    int error;
    FileFaults* previous = nullptr;
};

// What a save reported: whether it worked, and every text the user (or the caller) was given.
struct Outcome {
    bool ok = false;
    std::vector<std::string> reports;
};

// One kind of save: lays out the files that exist before it in a folder, then saves.
struct SaveKind {
    const char* name;
    std::function<void(const std::string& folder)> prepare;
    std::function<Outcome(const std::string& folder)> save;
    // What a failure caused by `error` must report.
    std::function<bool(const Outcome&, int error)> reported;
};

// Names the kind in test output instead of dumping the object's bytes.
void PrintTo(const SaveKind& kind, std::ostream* out) { *out << kind.name; }

constexpr char kOldPassword[] = "old password 1";
constexpr char kNewPassword[] = "new password 2";
constexpr std::size_t kPiece = 4096;  // single-file operations write this much at a time

// Big enough that a card file takes several of the writer's pieces.
void FillCards(CCardFileData& doc, int count, std::size_t noteSize, char fill) {
    for (int i = 0; i < count; ++i) {
        auto card = std::make_unique<CCard>();
        card->SetCategoryCode(static_cast<std::uint8_t>(i % 15));
        card->SetFieldText1("card " + std::to_string(i));
        card->SetFieldText4("secret-" + std::to_string(i));
        card->SetNote(std::string(noteSize, fill));
        doc.GetCategoryList(i % 15)->Add(std::move(card));
    }
}

// A sealed save draws a fresh salt and nonce; here they are fixed, so that a clean save and a
// save that a fault stopped can be compared byte for byte. The key derivation is the cheapest.
void FixedSealing(void* buffer, std::size_t size) { std::memset(buffer, 0x3C, size); }
constexpr SealParameters kCheapSealing{1, 8};

void Seal(CCardFileData& doc, const char* password) {
    doc.encryptionMode = 1;
    doc.sealed = true;
    doc.sealParameters = kCheapSealing;
    doc.encryptionPassword = password;
}

Outcome SaveCards(const std::string& path, bool encrypted, bool sealed = false) {
    CCardFileData doc;
    FillCards(doc, 24, 120000, 'n');  // about 2.9 MB: three pieces of 1 MiB
    if (encrypted) {
        doc.encryptionMode = 1;
        doc.encryptionPassword = kNewPassword;
    }
    if (sealed) Seal(doc, kNewPassword);
    const auto previous = SealedCardFile::SetRandomSource(FixedSealing);
    testing::ScriptedUserInterface ui;
    const auto result = SaveCardFile(doc, path, ui);
    SealedCardFile::SetRandomSource(previous);
    Outcome outcome{result.ok, ui.messages};
    if (!result.errorText.empty()) outcome.reports.push_back(result.errorText);
    return outcome;
}

// Every file a kind starts from has this mode of its own, so a change of it would show.
constexpr unsigned kPreparedMode = 0640;

void PrepareCards(const std::string& path, bool encrypted, bool sealed = false) {
    CCardFileData doc;
    FillCards(doc, 3, 50, 'o');
    if (encrypted) {
        doc.encryptionMode = 1;
        doc.encryptionPassword = kOldPassword;
    }
    if (sealed) Seal(doc, kOldPassword);
    testing::ScriptedUserInterface ui;
    ASSERT_TRUE(SaveCardFile(doc, path, ui).ok);
    ::chmod(path.c_str(), kPreparedMode);
}

bool ReportsErrno(const Outcome& outcome, int error) {
    return outcome.reports == std::vector<std::string>{std::strerror(error)};
}

Outcome FileOperation(const std::string& path, bool encrypt) {
    CFileEncryptionState state;
    state.filePassword = kNewPassword;
    state.filePasswordSet = true;
    state.selectedFilePath = path;
    testing::ScriptedUserInterface ui;
    CFileEncryptionOperations operations(state, ui, kPiece);
    const auto result = encrypt ? operations.EncryptSelectedFile() : operations.DecryptSelectedFile();
    return {result == CFileEncryptionOperations::Result::Done, ui.messages};
}

// The single-file tool's reports: the write error of its direction, after "Could not open file"
// when the new file could not even be made.
bool ReportsFileError(const Outcome& outcome, bool encrypt) {
    const std::string failed(encrypt ? msg::kWriteEncryptedFileError : msg::kWriteBytesToDiskError);
    const std::vector<std::string> plain{failed}, notMade{std::string(msg::kCouldNotOpenFile), failed};
    return outcome.reports == plain || outcome.reports == notMade;
}

const Bytes& PlainContent() {
    static const Bytes content = Random(11 * kPiece + 5, 7);  // twelve pieces, with a residual tail
    return content;
}

void WritePlainPage(const std::string& path) {
    testing::WriteBytes(path, PlainContent());
    ::chmod(path.c_str(), kPreparedMode);
}

const SaveKind kKinds[] = {
    {"PlainCardSave", [](const std::string& d) { PrepareCards(d + "/cards.qdf", false); },
     [](const std::string& d) { return SaveCards(d + "/cards.qdf", false); }, ReportsErrno},
    {"EncryptedCardSave", [](const std::string& d) { PrepareCards(d + "/cards.qde", true); },
     [](const std::string& d) { return SaveCards(d + "/cards.qde", true); }, ReportsErrno},
    {"SealedCardSave", [](const std::string& d) { PrepareCards(d + "/cards.qdx", true, true); },
     [](const std::string& d) { return SaveCards(d + "/cards.qdx", true, true); }, ReportsErrno},
    {"SingleFileEncrypt", [](const std::string& d) { WritePlainPage(d + "/page.html"); },
     [](const std::string& d) { return FileOperation(d + "/page.html", true); },
     [](const Outcome& o, int) { return ReportsFileError(o, true); }},
    {"SingleFileDecrypt",
     [](const std::string& d) {
         WritePlainPage(d + "/page.html");
         ASSERT_TRUE(FileOperation(d + "/page.html", true).ok);
     },
     [](const std::string& d) { return FileOperation(d + "/page.h~~~", false); },
     [](const Outcome& o, int) { return ReportsFileError(o, false); }},
};

// A small file system of our own in the test's folder, for a real full disk or a real read-only
// folder. Needs the right to mount (root in its own namespace, which SaveFaultsMain enters); the
// tests skip without it, and fail where CI says every test must run.
class ScratchMount {
public:
    ScratchMount(const std::string& where, const std::string& size) : path(where) {
        mounted = ::mount("tmpfs", path.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, ("size=" + size + ",mode=0700").c_str()) == 0;
    }
    ~ScratchMount() {
        if (mounted) ::umount2(path.c_str(), MNT_DETACH);
    }
    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;
    bool Mounted() const { return mounted; }
    bool MakeReadOnly() { return ::mount(nullptr, path.c_str(), nullptr, MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, nullptr) == 0; }

private:
    std::string path;
    bool mounted = false;
};

class SaveFaults : public ::testing::TestWithParam<SaveKind> {
protected:
    void SetUp() override {
        folder = dir.File("files");
        fs::create_directory(folder);
    }

    // Lays out the previous files, runs the save under `fault` and checks that it failed, said
    // why, and left every file as it was. Returns how often the fault struck.
    int ExpectFailureLeavesFiles(FileStep step, std::size_t index, int error) {
        GetParam().prepare(folder);
        const Snapshot before = TakeSnapshot(folder);
        FaultAt fault(step, index, error);
        const Outcome outcome = GetParam().save(folder);
        if (fault.hits == 0) return 0;
        EXPECT_FALSE(outcome.ok);
        EXPECT_TRUE(GetParam().reported(outcome, error)) << ::testing::PrintToString(outcome.reports);
        EXPECT_EQ(TakeSnapshot(folder), before);
        return fault.hits;
    }

    // The folder as a save that nothing disturbs leaves it.
    Snapshot CleanResult() {
        testing::TempDir twin;
        const std::string other = twin.File("files");
        fs::create_directory(other);
        GetParam().prepare(other);
        EXPECT_TRUE(GetParam().save(other).ok);
        return TakeSnapshot(other);
    }

    void Reset() {
        fs::remove_all(folder);
        fs::create_directory(folder);
    }

    testing::TempDir dir;
    std::string folder;
};

TEST_P(SaveFaults, EveryWriteFailingLeavesTheFiles) {
    std::size_t index = 0;
    const int causes[] = {EIO, ENOSPC, EDQUOT, EFBIG};
    for (;; ++index) {
        SCOPED_TRACE("write " + std::to_string(index));
        Reset();
        if (ExpectFailureLeavesFiles(FileStep::Write, index, causes[index % 4]) == 0) break;
    }
    EXPECT_GE(index, 3u) << "the save should take several writes";
    // With no write left to fail, the save went through and made what a clean save makes.
    EXPECT_EQ(TakeSnapshot(folder), CleanResult());
}

TEST_P(SaveFaults, EachStepAndCauseLeavesTheFiles) {
    struct Case {
        FileStep step;
        int error;
    };
    const Case cases[] = {
        {FileStep::Create, EROFS},  {FileStep::Create, EACCES}, {FileStep::Create, ENOSPC}, {FileStep::Create, EMFILE},
        {FileStep::Write, ENOSPC},  {FileStep::Flush, EIO},     {FileStep::Flush, ENOSPC},  {FileStep::Rename, EROFS},
        {FileStep::Rename, EACCES}, {FileStep::Rename, EXDEV},  {FileStep::Rename, ENOSPC},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.step)) + " " + std::strerror(c.error));
        Reset();
        EXPECT_EQ(ExpectFailureLeavesFiles(c.step, 0, c.error), 1);
    }
}

TEST_P(SaveFaults, ARealFullDiskLeavesTheFiles) {
    // Room for the previous files, not for a second copy beside them.
    ScratchMount disk(folder, "160k");
    if (!disk.Mounted()) TESSAREL_SKIP_UNLESS_REQUIRED("cannot mount a file system here");
    GetParam().prepare(folder);
    const Snapshot before = TakeSnapshot(folder);
    // The single-file operations need a second copy of a 48 KB file; the card saves 2.9 MB.
    testing::WriteBytes(folder + "/ballast", Bytes(100 * 1024, 0));
    const Snapshot withBallast = TakeSnapshot(folder);
    const Outcome outcome = GetParam().save(folder);
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(GetParam().reported(outcome, ENOSPC)) << ::testing::PrintToString(outcome.reports);
    EXPECT_EQ(TakeSnapshot(folder), withBallast);
    EXPECT_EQ(before.size() + 1, withBallast.size());
}

TEST_P(SaveFaults, ARealReadOnlyFolderLeavesTheFiles) {
    ScratchMount disk(folder, "8m");
    if (!disk.Mounted()) TESSAREL_SKIP_UNLESS_REQUIRED("cannot mount a file system here");
    GetParam().prepare(folder);
    const Snapshot before = TakeSnapshot(folder);
    ASSERT_TRUE(disk.MakeReadOnly());
    const Outcome outcome = GetParam().save(folder);
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(GetParam().reported(outcome, EROFS)) << ::testing::PrintToString(outcome.reports);
    EXPECT_EQ(TakeSnapshot(folder), before);
}

// Runs the save in a child process that stops itself at `step`, kills it there, and checks that
// every file is as it was before or as the finished save leaves it: never a part of a file.
TEST_P(SaveFaults, AKilledSaveLeavesOldOrNewFilesWhole) {
    const Snapshot after = CleanResult();
    struct Stop {
        FileStep step;
        std::size_t index;
    };
    for (const Stop stop : {Stop{FileStep::Create, 0}, Stop{FileStep::Write, 0}, Stop{FileStep::Write, 2}, Stop{FileStep::Flush, 0},
                            Stop{FileStep::Rename, 0}, Stop{FileStep::Remove, 0}}) {
        SCOPED_TRACE(std::to_string(static_cast<int>(stop.step)) + "/" + std::to_string(stop.index));
        Reset();
        GetParam().prepare(folder);
        const Snapshot before = TakeSnapshot(folder);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            FaultAt stopper(stop.step, stop.index, FaultAt::kStop);
            GetParam().save(folder);
            ::_exit(stopper.hits > 0 ? 0 : 3);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, WUNTRACED), child);
        if (!WIFSTOPPED(status)) {
            // Only the card saves never remove a file; everything else must reach the stop.
            EXPECT_TRUE(stop.step == FileStep::Remove && WIFEXITED(status) && WEXITSTATUS(status) == 3);
            continue;
        }
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);

        const Snapshot now = TakeSnapshot(folder);
        for (const auto& [name, file] : now) {
            SCOPED_TRACE(name);
            const auto old = before.find(name);
            const auto finished = after.find(name);
            const bool whole = (old != before.end() && old->second == file) || (finished != after.end() && finished->second == file);
            // The writer's own scratch file (the target's name and a random suffix) may stay
            // behind a killed process; it is never the target itself.
            const bool scratch = old == before.end() && finished == after.end() && name.size() > 7 && name[name.size() - 7] == '.';
            EXPECT_TRUE(whole || scratch);
        }
        // A file the save replaces is there in one of its two forms.
        for (const auto& [name, file] : before) {
            if (after.count(name)) {
                EXPECT_TRUE(now.count(name)) << name;
            }
        }
        if (stop.step != FileStep::Remove) {
            // Up to the rename nothing of the new file is visible.
            for (const auto& [name, file] : before) EXPECT_EQ(now.at(name), file) << name;
        }
    }
}

// Each save replaces a file that was there: an overwritten card file keeps its mode, and the
// single-file tool's output takes the mode of the file it replaces. (A file new in every sense is
// the owner's alone: see the AtomicFileWriter tests.)
TEST_P(SaveFaults, SavedFilesKeepTheModeOfTheFileTheyReplace) {
    for (const auto& [name, file] : CleanResult()) EXPECT_EQ(file.mode, kPreparedMode) << name;
}

INSTANTIATE_TEST_SUITE_P(AllSaves, SaveFaults, ::testing::ValuesIn(kKinds),
                         [](const ::testing::TestParamInfo<SaveKind>& kind) { return std::string(kind.param.name); });

}  // namespace
}  // namespace tessarel
