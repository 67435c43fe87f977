// Hostile card files cannot exhaust memory. Every layout the reader accepts, filled with the
// smallest records it can hold (the most cards per byte), is read in a child process of its own
// whose resident high-water mark must stay within 8 times the file's size plus 64 MiB. A file
// whose cards the process cannot hold (a limit on its address space stands in for a small
// machine) gets a message, never the death of the process.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "CardBytes.h"
#include "cardstore/CardFileFormat.h"
#include "crypto/Blowfish.h"
#include "crypto/Sha1.h"
#include "support/ScriptedUserInterface.h"
#include "support/TempDir.h"

namespace tessarel {
namespace {

using testing::Bytes;
constexpr char kPassword[] = "memory test password";
constexpr std::size_t kMiB = std::size_t{1} << 20;
// Big enough that the 64 MiB allowance no longer hides a per-card cost of more than 8 times the
// record: the current layouts' 29-byte records cost 10.7 times their size before cards were made
// compact, the legacy 10-byte ones 28 times.

// The smallest current record (all texts empty: 29 bytes) and one with a character in each text.
Bytes CurrentRecord(bool tiny) { return testing::Record(tiny ? testing::RawCard{} : testing::RawCard{0, 0, 0, 0, 0, "a", "b", "c", "d", "e"}); }

// The smallest legacy record (10 bytes, empty category: Miscellaneous) and one with a date text.
Bytes LegacyRecord(bool tiny) {
    Bytes record = {0, static_cast<std::uint8_t>(tiny ? 0 : 1)};
    if (!tiny) record.push_back('1');
    for (int i = 0; i < 4; ++i) record.push_back(0);
    for (int i = 0; i < 4; ++i) record.push_back(0);  // note length, two flag bytes
    return record;
}

Bytes Repeat(const Bytes& record, std::size_t total) {
    Bytes out;
    out.reserve(total + record.size());
    while (out.size() + record.size() <= total) out.insert(out.end(), record.begin(), record.end());
    return out;
}

void Encipher(Bytes& data) {
    data.resize((data.size() + 7) / 8 * 8, 0);
    Blowfish cipher;
    cipher.BlowfishSetKey(reinterpret_cast<const std::uint8_t*>(kPassword), std::strlen(kPassword));
    cipher.EncryptBlocks(data.data(), static_cast<std::uint32_t>(data.size() / 8));
}

Bytes Digest() {
    Bytes digest(kSha1DigestSize);
    PasswordDigest(kPassword, digest.data());
    return digest;
}

Bytes LegacyPrefix(bool encrypted, const char* version) {
    const std::string prefix = std::string(encrypted ? "ENCRYPTED" : "NTENCRYPT") + version;
    return Bytes(prefix.begin(), prefix.end());
}

struct Layout {
    const char* name;
    std::size_t size;  // of the records, about the file's size
    std::function<Bytes(bool tiny, std::size_t size)> make;
};

const Layout kLayouts[] = {
    {"current plain", 32 * kMiB, [](bool tiny, std::size_t size) { return testing::Concat({testing::Header(0), Repeat(CurrentRecord(tiny), size)}); }},
    {"current encrypted", 32 * kMiB,
     [](bool tiny, std::size_t size) {
         Bytes body = testing::Concat({Digest(), Repeat(CurrentRecord(tiny), size)});
         Encipher(body);
         return testing::Concat({testing::Header(1), body});
     }},
    {"1.001 plain", 16 * kMiB,
     [](bool tiny, std::size_t size) {
         return testing::Concat({LegacyPrefix(false, "Version1.001"), Bytes(3, 0), Repeat(LegacyRecord(tiny), size)});
     }},
    {"1.002 plain", 16 * kMiB,
     [](bool tiny, std::size_t size) {
         return testing::Concat({LegacyPrefix(false, "Version1.002"), Bytes(20, 0), Repeat(LegacyRecord(tiny), size)});
     }},
    {"1.001 encrypted", 16 * kMiB,
     [](bool tiny, std::size_t size) {
         Bytes data = testing::Concat({Bytes{'X', 'Y', 'Z'}, Repeat(LegacyRecord(tiny), size)});
         Encipher(data);
         return testing::Concat({LegacyPrefix(true, "Version1.001"), data});
     }},
    {"1.002 encrypted", 16 * kMiB,
     [](bool tiny, std::size_t size) {
         Bytes data = testing::Concat({Digest(), Repeat(LegacyRecord(tiny), size)});
         Encipher(data);
         return testing::Concat({LegacyPrefix(true, "Version1.002"), data});
     }},
};

std::size_t StatusBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) return std::stoul(line.substr(key.size())) * 1024;
    }
    return 0;
}

// What a child reports: whether the read worked, its cards, the messages, and how far its
// resident memory rose above where it started.
struct ChildReport {
    bool exited = false;  // false: killed (by the out-of-memory killer, an abort, ...)
    bool ok = false;
    std::size_t cards = 0;
    std::size_t peakGrowth = 0;
    std::string messages;
};

// Reads `path` in a child process, optionally under a limit of `headroom` bytes of address space
// beyond what it uses at the start.
ChildReport ReadInChild(const std::string& path, std::size_t headroom = 0) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        if (headroom != 0) {
            const rlimit limit{StatusBytes("VmSize") + headroom, StatusBytes("VmSize") + headroom};
            ::setrlimit(RLIMIT_AS, &limit);
        }
        // A new process starts its high-water mark at what it holds now.
        const std::size_t start = StatusBytes("VmRSS");
        std::ostringstream out;
        // Whatever escapes the reader ends the child here, never in the test runner's own loop.
        try {
            testing::ScriptedUserInterface ui;
            ui.Password(kPassword);
            CCardFileData doc;
            const bool ok = LoadCardFile(doc, path, ui).ok;
            std::size_t cards = doc.GetDeletedList().GetCount();
            for (int code = 0; code < 15; ++code) cards += static_cast<std::size_t>(doc.GetCategoryList(code)->GetCount());
            out << ok << ' ' << cards << ' ' << StatusBytes("VmHWM") - start << '\n';
            for (const auto& message : ui.messages) out << message << '\n';
        } catch (...) {
            ::_exit(4);
        }
        const std::string text = out.str();
        const ssize_t written = ::write(pipeEnds[1], text.data(), text.size());
        ::_exit(written == static_cast<ssize_t>(text.size()) ? 0 : 3);
    }
    ::close(pipeEnds[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(got));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ChildReport report;
    report.exited = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    std::istringstream in(text);
    in >> report.ok >> report.cards >> report.peakGrowth;
    in.ignore(1);
    report.messages.assign(std::istreambuf_iterator<char>(in), {});
    return report;
}

TEST(CardFileMemory, EveryLayoutReadsWithinEightTimesItsSizePlus64MiB) {
    testing::TempDir dir;
    const std::string path = dir.File("hostile");
    for (const Layout& layout : kLayouts) {
        for (const bool tiny : {true, false}) {
            SCOPED_TRACE(std::string(layout.name) + (tiny ? ", empty records" : ", one-character texts"));
            std::size_t size = 0;
            {
                const Bytes bytes = layout.make(tiny, layout.size);
                size = bytes.size();
                testing::WriteBytes(path, bytes);
            }
            const ChildReport report = ReadInChild(path);
            ASSERT_TRUE(report.exited);
            EXPECT_TRUE(report.ok) << report.messages;
            EXPECT_GT(report.cards, size / 40) << "the file's records are all read";
            EXPECT_LE(report.peakGrowth, 8 * size + 64 * kMiB)
                << "peak " << report.peakGrowth / kMiB << " MiB for a file of " << size / kMiB << " MiB";
        }
    }
}

TEST(CardFileMemory, AFileBeyondWhatCanBeHeldGetsAMessage) {
    testing::TempDir dir;
    const std::string path = dir.File("hostile");
    for (const Layout& layout : kLayouts) {
        SCOPED_TRACE(layout.name);
        // Room for the file's bytes, not for its cards.
        const std::size_t size = 16 * kMiB;
        testing::WriteBytes(path, layout.make(true, size));
        const ChildReport report = ReadInChild(path, size + 48 * kMiB);
        ASSERT_TRUE(report.exited) << "the reader must not die";
        EXPECT_FALSE(report.ok);
        EXPECT_EQ(report.cards, 0u);
        EXPECT_EQ(report.messages.rfind("This file is too large to open: its cards need about ", 0), 0u) << report.messages;
    }
    // Without room even for the file's bytes the message says so without figures.
    testing::WriteBytes(path, kLayouts[0].make(true, 16 * kMiB));
    const ChildReport report = ReadInChild(path, 8 * kMiB);
    ASSERT_TRUE(report.exited) << "the reader must not die";
    EXPECT_FALSE(report.ok);
    EXPECT_EQ(report.messages, "This file is too large to open: there is not enough memory to read its cards.\n");
}

}  // namespace
}  // namespace tessarel
