#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "crypto/Sha1.h"

namespace tessarel {
namespace {

std::string Hex(const std::uint8_t* digest) {
    std::string out;
    char two[3];
    for (int i = 0; i < 20; ++i) {
        std::snprintf(two, sizeof two, "%02x", digest[i]);
        out += two;
    }
    return out;
}

std::string DigestOf(const std::string& text) {
    std::uint8_t digest[20];
    PasswordDigest(text, digest);
    return Hex(digest);
}

TEST(Sha1, PublishedVectors) {
    EXPECT_EQ(DigestOf("abc"), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(DigestOf(""), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
    EXPECT_EQ(DigestOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"), "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
    EXPECT_EQ(DigestOf(std::string(1000000, 'a')), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
}

TEST(Sha1, PaddingBoundaries) {
    // Lengths around the 55/56/64-byte padding edges, hashed whole and in uneven pieces.
    for (std::size_t length : {55u, 56u, 63u, 64u, 65u, 119u, 120u, 128u}) {
        const std::string text(length, 'x');
        Sha1Context context;
        Sha1Init(&context);
        for (std::size_t i = 0; i < length; i += 7) {
            const std::size_t n = std::min<std::size_t>(7, length - i);
            Sha1Update(&context, reinterpret_cast<const std::uint8_t*>(text.data() + i), n);
        }
        std::uint8_t digest[20];
        Sha1Final(digest, &context);
        EXPECT_EQ(Hex(digest), DigestOf(text)) << length;
    }
}

TEST(Sha1, FinalWipesTheContext) {
    Sha1Context context;
    Sha1Init(&context);
    Sha1Update(&context, reinterpret_cast<const std::uint8_t*>("secret"), 6);
    std::uint8_t digest[20];
    Sha1Final(digest, &context);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&context);
    for (std::size_t i = 0; i < sizeof context; ++i) ASSERT_EQ(bytes[i], 0) << i;
}

TEST(Sha1, PasswordsAreTakenExactly) {
    EXPECT_NE(DigestOf("Password1"), DigestOf("password1"));
    EXPECT_NE(DigestOf("password "), DigestOf("password"));
    std::uint8_t a[20], b[20];
    PasswordDigest("abc", a);
    PasswordDigest(std::string_view("abc"), b);
    EXPECT_EQ(Hex(a), Hex(b));
}

}  // namespace
}  // namespace tessarel
