// Drives the reply assembly with arbitrary server output cut into arbitrary pieces.
#include "ReplyReader.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    // The first byte picks the piece length, so splits land everywhere, also inside CR LF.
    const std::size_t piece = 1 + data[0] % 97;
    std::string_view rest(reinterpret_cast<const char *>(data + 1), size - 1);
    postrel::ReplyReader reader;
    bool greeting = true;
    std::size_t handedOut = 0;
    while (!rest.empty()) {
        const auto chunk = rest.substr(0, piece);
        rest.remove_prefix(chunk.size());
        reader.Feed(
            chunk, [&] { return greeting; },
            [&](const postrel::ReplyLine &line) {
                if (line.text.size() > postrel::ReplyReader::kLineCapacity)
                    std::abort();
                if (line.code < -1 || line.code > 999)
                    std::abort();
                if (line.code == 220 && line.separator == ' ')
                    greeting = false;
                handedOut += line.text.size();
            });
        if (reader.Pending() > postrel::ReplyReader::kLineCapacity)
            std::abort();
    }
    if (handedOut + reader.Pending() > size)
        std::abort();
    return 0;
}
