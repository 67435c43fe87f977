#include <gtest/gtest.h>
#include <openssl/sha.h>

#include <algorithm>
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

TEST(Sha1, MatchesLibcryptoOverLengthsUpTo200) {
    // Every length from 0 to 200 crosses the 55/56/64-byte padding edges three times; the bytes
    // cover all 256 values, and each message is hashed whole and fed in uneven pieces.
    for (std::size_t length = 0; length <= 200; ++length) {
        std::string text(length, '\0');
        for (std::size_t i = 0; i < length; ++i) text[i] = static_cast<char>((i * 151 + length) & 0xFF);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
        std::uint8_t reference[SHA_DIGEST_LENGTH];
        SHA1(bytes, length, reference);
        EXPECT_EQ(DigestOf(text), Hex(reference)) << "length " << length;

        Sha1Context context;
        Sha1Init(&context);
        for (std::size_t i = 0, piece = 1; i < length; i += piece, piece = piece % 13 + 1)
            Sha1Update(&context, bytes + i, std::min(piece, length - i));
        std::uint8_t digest[20];
        Sha1Final(digest, &context);
        EXPECT_EQ(Hex(digest), Hex(reference)) << "in pieces, length " << length;
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
