// Peak memory of loading an encrypted card file of 100,000 cards.
//   cardfile_memory make PATH   writes the file
//   cardfile_memory load PATH   loads it and prints the file size, the memory the cards keep,
//                               and the peak the load reached above the starting point

#include <cstdio>
#include <cstring>
#include <memory>

#include "CardFileFixture.h"
#include "cardstore/CardFileFormat.h"
#include "core/FileReader.h"

int main(int argc, char** argv) {
    using namespace tessarel;
    if (argc != 3) {
        std::fprintf(stderr, "usage: cardfile_memory make|load PATH\n");
        return 2;
    }
    bench::SilentUserInterface ui;
    if (std::strcmp(argv[1], "make") == 0) {
        CCardFileData doc;
        bench::FillDocument(doc, 100000);
        return SaveCardFile(doc, argv[2], ui).ok ? 0 : 1;
    }
    const double mib = 1 << 20;
    const auto fileSize = static_cast<double>(FileSize(argv[2]));
    const std::size_t before = bench::ResidentBytes();
    auto doc = std::make_unique<CCardFileData>();
    if (!LoadCardFile(*doc, argv[2], ui).ok) return 1;
    const std::size_t after = bench::ResidentBytes();
    const std::size_t peak = bench::PeakResidentBytes();
    const double cards = static_cast<double>(after - before);
    const double extra = static_cast<double>(peak - before) - cards;
    std::printf("file %.1f MiB, cards keep %.1f MiB, peak above start %.1f MiB, peak beyond the cards %.1f MiB = %.2fx the file\n",
                fileSize / mib, cards / mib, static_cast<double>(peak - before) / mib, extra / mib, extra / fileSize);
    return 0;
}
