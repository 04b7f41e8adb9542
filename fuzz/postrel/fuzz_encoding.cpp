// Encodes arbitrary bytes fed in arbitrary pieces and checks that the text decodes back to them, that
// lines keep their lengths, and that dot-stuffing across block borders can be undone.
#include "Encoders.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Check(bool ok, int line)
{
    if (!ok) {
        std::fprintf(stderr, "check failed at line %d\n", line);
        std::abort();
    }
}
#define Require(ok) Check((ok), __LINE__)

std::string Encode(postrel::Encoder &encoder, std::string_view bytes, std::size_t piece)
{
    std::string out;
    while (!bytes.empty()) {
        const auto chunk = bytes.substr(0, piece);
        bytes.remove_prefix(chunk.size());
        encoder.Feed(chunk, out);
    }
    encoder.Finish(out);
    return out;
}

int Base64Value(char c)
{
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

std::string DecodeBase64(const std::string &text)
{
    std::string out;
    unsigned bits = 0;
    int count = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find("\r\n", start);
        Require(end != std::string::npos);
        Require(end - start <= 72);
        for (std::size_t i = start; i < end; ++i) {
            if (text[i] == '=')
                break;
            const int v = Base64Value(text[i]);
            Require(v >= 0);
            bits = bits << 6 | static_cast<unsigned>(v);
            if (++count == 4) {
                out.push_back(static_cast<char>(bits >> 16));
                out.push_back(static_cast<char>(bits >> 8));
                out.push_back(static_cast<char>(bits));
                bits = 0;
                count = 0;
            }
        }
        start = end + 2;
    }
    if (count == 2)
        out.push_back(static_cast<char>(bits >> 4));
    if (count == 3) {
        out.push_back(static_cast<char>(bits >> 10));
        out.push_back(static_cast<char>(bits >> 2));
    }
    return out;
}

unsigned UuValue(char c)
{
    Require(c >= ' ' + 1 && c <= '`');
    return (static_cast<unsigned>(c) - 32) & 63;
}

std::string DecodeUu(const std::string &text)
{
    std::string out;
    std::size_t start = 0;
    for (;;) {
        const auto end = text.find("\r\n", start);
        Require(end != std::string::npos);
        const std::string line = text.substr(start, end - start);
        start = end + 2;
        Require(!line.empty());
        const unsigned n = UuValue(line[0]);
        if (n == 0) {
            Require(line == "`");
            Require(text.substr(start) == "end\r\n");
            return out;
        }
        Require(n <= 45 && line.size() == 1 + (n + 2) / 3 * 4);
        for (unsigned i = 0; i < n; i += 3) {
            const unsigned v = UuValue(line[1 + i / 3 * 4]) << 18 | UuValue(line[2 + i / 3 * 4]) << 12 |
                               UuValue(line[3 + i / 3 * 4]) << 6 | UuValue(line[4 + i / 3 * 4]);
            for (unsigned k = 0; k < 3 && i + k < n; ++k)
                out.push_back(static_cast<char>(v >> (16 - 8 * k)));
        }
    }
}

std::string Unstuff(const std::string &text)
{
    std::string out;
    bool atLineStart = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (atLineStart && text[i] == '.') {
            Require(i + 1 < text.size() && text[i + 1] == '.');
            ++i;
        }
        out.push_back(text[i]);
        atLineStart = text[i] == '\n';
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::size_t piece = 1 + data[0] % 200;
    const std::string_view bytes(reinterpret_cast<const char *>(data + 1), size - 1);

    auto base64 = postrel::MakeBase64Encoder();
    Require(DecodeBase64(Encode(*base64, bytes, piece)) == bytes);
    auto uu = postrel::MakeUuEncoder();
    Require(DecodeUu(Encode(*uu, bytes, piece)) == bytes);

    postrel::DotStuffer stuffer;
    std::string stuffed;
    for (std::string_view rest = bytes; !rest.empty();) {
        const auto chunk = rest.substr(0, piece);
        rest.remove_prefix(chunk.size());
        stuffer.Stuff(chunk, stuffed);
    }
    Require(stuffed.find("\r\n.\r\n") == std::string::npos);
    Require(Unstuff(stuffed) == bytes);
    return 0;
}
