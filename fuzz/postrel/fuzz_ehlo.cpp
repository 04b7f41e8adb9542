// Drives the EHLO extension parser with arbitrary reply lines, cut at arbitrary places.
#include "Extensions.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::string_view rest(reinterpret_cast<const char *>(data), size);
    postrel::EhloParser parser;
    // Lines end at LF, as the reply reader hands them out; the last one may be unterminated.
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::size_t n = end == std::string_view::npos ? rest.size() : end + 1;
        parser.Feed(rest.substr(0, n));
        rest.remove_prefix(n);
    }
    const auto &offered = parser.Extensions();
    // Every flag needs its keyword somewhere in the input.
    const std::string_view all(reinterpret_cast<const char *>(data), size);
    auto mentions = [&](std::string_view word) {
        for (std::size_t i = 0; i + word.size() <= all.size(); ++i) {
            bool same = true;
            for (std::size_t k = 0; k < word.size() && same; ++k)
                same = (all[i + k] & ~0x20) == word[k];
            if (same)
                return true;
        }
        return false;
    };
    if ((offered.startTls && !mentions("STARTTLS")) || (offered.authPlain && !mentions("PLAIN")) ||
        (offered.authLogin && !mentions("LOGIN")))
        __builtin_trap();
    return 0;
}
