// The built stubs themselves: the patch record findable exactly once, and the Windows
// stub a 32-bit x86 PE program. (StubWineTest runs the Windows stub.)

#include "StubFixture.h"
#include "../support/MustRun.h"

#include <algorithm>

namespace {

std::size_t countRecords(const std::vector<std::uint8_t>& binary)
{
    const std::string text = "OPALUXOPALUX";
    std::size_t count = 0;
    for (auto at = binary.begin();; ++at) {
        at = std::search(at, binary.end(), text.begin(), text.end());
        if (at == binary.end())
            return count;
        ++count;
    }
}

std::uint32_t read32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return std::uint32_t{b.at(at)} | std::uint32_t{b.at(at + 1)} << 8 | std::uint32_t{b.at(at + 2)} << 16
        | std::uint32_t{b.at(at + 3)} << 24;
}

std::uint16_t read16(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return static_cast<std::uint16_t>(b.at(at) | b.at(at + 1) << 8);
}

} // namespace

class StubBinaryTest : public StubFixture {};

TEST_F(StubBinaryTest, NativeStubHoldsThePatchRecordOnce)
{
    EXPECT_EQ(countRecords(readBytes(SETUPSTUB_PATH)), 1u);
    // Packing fills the record, so a packed stub can never be packed again.
    EXPECT_EQ(countRecords(readBytes(pack({{markerScript()}}))), 0u);
}

TEST_F(StubBinaryTest, WindowsStubIsA32BitPeProgramWithThePatchRecordOnce)
{
    if (std::string(SETUPSTUB_EXE_PATH).empty())
        TESSAREL_SKIP_UNLESS_REQUIRED("the MinGW cross compiler was not found; no Windows stub was built");
    const std::vector<std::uint8_t> exe = readBytes(SETUPSTUB_EXE_PATH);
    ASSERT_GT(exe.size(), 0x200u);
    EXPECT_EQ(exe[0], 'M');
    EXPECT_EQ(exe[1], 'Z');
    const std::size_t pe = read32(exe, 0x3C);
    EXPECT_EQ(read32(exe, pe), 0x00004550u);   // "PE\0\0"
    EXPECT_EQ(read16(exe, pe + 4), 0x014Cu);   // i386
    EXPECT_EQ(read16(exe, pe + 24), 0x010Bu);  // PE32 optional header
    EXPECT_EQ(read16(exe, pe + 24 + 68), 2u);  // Windows GUI subsystem: no console
    EXPECT_EQ(countRecords(exe), 1u);
}
