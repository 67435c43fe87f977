#pragma once
// The text of an export on its way out: written into a small buffer that is handed on and wiped
// each time it holds a chunk's worth, so no more than about one chunk of card texts in plain is
// held at a time, however many cards the file has.

#include <cstddef>
#include <functional>
#include <string_view>

#include "core/SecureBuffer.h"

namespace tessarel::cli {

class ExportStream {
public:
    using Output = std::function<void(std::string_view)>;
    static constexpr std::size_t kChunk = std::size_t{64} << 10;

    explicit ExportStream(Output output);
    ExportStream(const ExportStream&) = delete;
    ExportStream& operator=(const ExportStream&) = delete;

    // Where the next text is appended.
    SecureString& Text() { return text; }
    // Called between cards: hands the text on once it holds a chunk.
    void Boundary();
    // Hands on what is left.
    void Finish();

private:
    void Deliver();

    Output output;
    SecureString text;
};

}  // namespace tessarel::cli
