#include "ExportStream.h"

#include <utility>

namespace tessarel::cli {

ExportStream::ExportStream(Output output_) : output(std::move(output_)) {
    // Room for a chunk and the card that crosses it, so the buffer seldom has to grow (a grown
    // buffer is wiped when released, as every SecureString is).
    text.reserve(2 * kChunk);
}

void ExportStream::Boundary() {
    if (text.size() >= kChunk) Deliver();
}

void ExportStream::Finish() {
    if (!text.empty()) Deliver();
}

void ExportStream::Deliver() {
    output(text);
    SecureWipe(text.data(), text.size());
    text.clear();
}

}  // namespace tessarel::cli
