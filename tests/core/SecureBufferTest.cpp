// Secrets kept in SecureString leave nothing behind in the string object's own storage: not when a
// short text lives there, not when the text moved to the heap, not when the object was moved from.
// (Heap buffers are the wiping allocator's, which zeroes them before they are freed.)

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <functional>
#include <new>
#include <string_view>

#include "core/SecureBuffer.h"

namespace tessarel {
namespace {

bool Holds(const unsigned char* bytes, std::size_t size, std::string_view text) {
    return std::search(bytes, bytes + size, text.begin(), text.end(),
                       [](unsigned char a, char b) { return a == static_cast<unsigned char>(b); }) != bytes + size;
}

template <class T>
bool Holds(const T& object, std::string_view text) {
    return Holds(reinterpret_cast<const unsigned char*>(&object), sizeof object, text);
}

TEST(SecureString, ItsOwnStorageIsWipedWhenItGoes) {
    struct Case {
        const char* name;
        std::function<void(SecureString&)> use;
        std::string_view secret;  // what must not remain in the object's bytes
    };
    const Case cases[] = {
        {"short text", [](SecureString& s) { s = "pw-4711"; }, "4711"},
        {"fifteen characters", [](SecureString& s) { s = "fifteen-chars-x"; }, "chars"},
        {"grown from short to long", [](SecureString& s) {
             s = "short-abcdefgh";
             s += std::string(100, 'L');
         }, "cdefgh"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        alignas(SecureString) unsigned char storage[sizeof(SecureString)];
        auto* text = new (storage) SecureString();
        c.use(*text);
        text->~SecureString();
        EXPECT_FALSE(Holds(storage, sizeof storage, c.secret));
    }
}

TEST(SecureString, AMovedFromStringKeepsNoCopy) {
    SecureString source = "moved-9q8w";
    SecureString target(std::move(source));
    EXPECT_EQ(target, "moved-9q8w");
    EXPECT_FALSE(Holds(source, "9q8w"));

    SecureString assigned;
    SecureString other = "again-3e4r";
    assigned = std::move(other);
    EXPECT_EQ(assigned, "again-3e4r");
    EXPECT_FALSE(Holds(other, "3e4r"));
}

TEST(SecureString, BehavesAsAStringOfItsBase) {
    SecureString a = "abc";
    const SecureStringBase joined = a + "def";
    SecureString b = joined;
    EXPECT_EQ(b, "abcdef");
    EXPECT_EQ(std::string(b), "abcdef");
    EXPECT_EQ(std::string_view(b).substr(3), "def");
    b.Wipe();
    EXPECT_TRUE(b.empty());
}

TEST(WipeString, PlainStringsAreZeroedAndEmptied) {
    for (const std::size_t length : {std::size_t{5}, std::size_t{15}, std::size_t{300}}) {
        std::string text(length, 'S');
        text.replace(0, 4, "k3y!");
        const char* buffer = text.data();
        const std::size_t capacity = text.capacity();
        WipeString(text);
        EXPECT_TRUE(text.empty());
        EXPECT_FALSE(Holds(text, "k3y!"));
        // A short text lives inside the object: its old buffer is the object's own storage.
        if (length <= 15) {
            EXPECT_FALSE(Holds(reinterpret_cast<const unsigned char*>(buffer), capacity, "k3y!"));
        }
    }
}

#if defined(__linux__)
// The flags the kernel lists in /proc/self/smaps for the mapping that holds an address.
std::string MappingFlagsOf(const void* address) {
    std::FILE* smaps = std::fopen("/proc/self/smaps", "r");
    if (!smaps) return {};
    const auto where = reinterpret_cast<std::uintptr_t>(address);
    bool inside = false;
    std::string flags;
    char line[512];
    while (std::fgets(line, sizeof line, smaps)) {
        unsigned long start = 0, end = 0;
        if (std::sscanf(line, "%lx-%lx ", &start, &end) == 2) {
            inside = where >= start && where < end;
        } else if (inside && std::strncmp(line, "VmFlags:", 8) == 0) {
            flags = line + 8;
            break;
        }
    }
    std::fclose(smaps);
    return flags;
}

// A whole card file's bytes or an export sit in pages a core dump leaves out ("dd"); small texts
// stay on the heap, whose pages also hold unrelated data.
TEST(SecretPages, LargeSecretBuffersAreLeftOutOfCoreDumps) {
    SecureBytes file(64 * 1024, 0x5a);
    EXPECT_NE(MappingFlagsOf(file.data()).find(" dd"), std::string::npos) << MappingFlagsOf(file.data());
    SecureString text(20000, 'p');
    EXPECT_NE(MappingFlagsOf(text.data()).find(" dd"), std::string::npos);
    SecureString shortText(100, 'p');
    EXPECT_EQ(MappingFlagsOf(shortText.data()).find(" dd"), std::string::npos);

    // Growing and shrinking move between the two kinds of storage without losing the bytes.
    SecureBytes grown(100, 0x11);
    grown.resize(10000, 0x22);
    grown.resize(50);
    grown.shrink_to_fit();
    EXPECT_EQ(grown, SecureBytes(50, 0x11));
}
#endif

}  // namespace
}  // namespace tessarel
