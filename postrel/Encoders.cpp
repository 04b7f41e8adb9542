#include "Encoders.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace postrel {
namespace {

constexpr char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::size_t kBase64LineBytes = 54; // 72 characters
constexpr std::size_t kUuLineBytes = 45;

// Pairs of base64 characters for every 12-bit value: one lookup per two output characters.
struct Base64Pairs {
    char pairs[4096][2];
    Base64Pairs()
    {
        for (unsigned v = 0; v < 4096; ++v) {
            pairs[v][0] = kBase64Alphabet[v >> 6];
            pairs[v][1] = kBase64Alphabet[v & 63];
        }
    }
};

class Base64Encoder final : public Encoder {
public:
    void Feed(std::string_view bytes, std::string &out) override
    {
        if (!carry_.empty()) {
            const std::size_t take = std::min(kBase64LineBytes - carry_.size(), bytes.size());
            carry_.append(bytes.substr(0, take));
            bytes.remove_prefix(take);
            if (carry_.size() < kBase64LineBytes)
                return;
            EncodeLines(reinterpret_cast<const unsigned char *>(carry_.data()), 1, out);
            carry_.clear();
        }
        const std::size_t lines = bytes.size() / kBase64LineBytes;
        EncodeLines(reinterpret_cast<const unsigned char *>(bytes.data()), lines, out);
        carry_.assign(bytes.substr(lines * kBase64LineBytes));
    }

    void Finish(std::string &out) override
    {
        EncodeTail(reinterpret_cast<const unsigned char *>(carry_.data()), carry_.size(), out);
        carry_.clear();
    }

private:
    // Whole 54-byte lines, written straight into the output.
    static void EncodeLines(const unsigned char *in, std::size_t lines, std::string &out)
    {
        static const Base64Pairs table;
        const std::size_t start = out.size();
        out.resize(start + lines * 74);
        char *o = out.data() + start;
        for (std::size_t line = 0; line < lines; ++line) {
            for (std::size_t i = 0; i < kBase64LineBytes; i += 3, in += 3, o += 4) {
                const unsigned v = in[0] << 16 | in[1] << 8 | in[2];
                std::memcpy(o, table.pairs[v >> 12], 2);
                std::memcpy(o + 2, table.pairs[v & 4095], 2);
            }
            *o++ = '\r';
            *o++ = '\n';
        }
    }

    // The last, partial line (possibly empty), padded with "=".
    static void EncodeTail(const unsigned char *in, std::size_t n, std::string &out)
    {
        std::size_t i = 0;
        for (; i + 3 <= n; i += 3) {
            const unsigned v = in[i] << 16 | in[i + 1] << 8 | in[i + 2];
            out.push_back(kBase64Alphabet[v >> 18]);
            out.push_back(kBase64Alphabet[(v >> 12) & 63]);
            out.push_back(kBase64Alphabet[(v >> 6) & 63]);
            out.push_back(kBase64Alphabet[v & 63]);
        }
        if (i < n) {
            const unsigned v = in[i] << 16 | (i + 1 < n ? in[i + 1] << 8 : 0);
            out.push_back(kBase64Alphabet[v >> 18]);
            out.push_back(kBase64Alphabet[(v >> 12) & 63]);
            out.push_back(i + 1 < n ? kBase64Alphabet[(v >> 6) & 63] : '=');
            out.push_back('=');
        }
        out += "\r\n";
    }

    std::string carry_;
};

class UuEncoder final : public Encoder {
public:
    void Feed(std::string_view bytes, std::string &out) override
    {
        while (!bytes.empty()) {
            const std::size_t take = std::min(kUuLineBytes - carry_.size(), bytes.size());
            carry_.append(bytes.substr(0, take));
            bytes.remove_prefix(take);
            if (carry_.size() == kUuLineBytes) {
                EncodeLine(out);
                carry_.clear();
            }
        }
    }

    void Finish(std::string &out) override
    {
        if (!carry_.empty())
            EncodeLine(out);
        carry_.clear();
        out += "`\r\nend\r\n";
    }

private:
    static char Char(unsigned v) { return v == 0 ? '`' : static_cast<char>(v + 32); }

    void EncodeLine(std::string &out)
    {
        const auto *in = reinterpret_cast<const unsigned char *>(carry_.data());
        const std::size_t n = carry_.size();
        out.push_back(Char(static_cast<unsigned>(n)));
        for (std::size_t i = 0; i < n; i += 3) {
            const unsigned v = in[i] << 16 | (i + 1 < n ? in[i + 1] << 8 : 0) | (i + 2 < n ? in[i + 2] : 0);
            out.push_back(Char(v >> 18));
            out.push_back(Char((v >> 12) & 63));
            out.push_back(Char((v >> 6) & 63));
            out.push_back(Char(v & 63));
        }
        out += "\r\n";
    }

    std::string carry_;
};

class IdentityEncoder final : public Encoder {
public:
    void Feed(std::string_view bytes, std::string &out) override { out.append(bytes); }
    void Finish(std::string &) override {}
};

} // namespace

std::unique_ptr<Encoder> MakeBase64Encoder() { return std::make_unique<Base64Encoder>(); }
std::unique_ptr<Encoder> MakeUuEncoder() { return std::make_unique<UuEncoder>(); }
std::unique_ptr<Encoder> MakeIdentityEncoder() { return std::make_unique<IdentityEncoder>(); }

std::unique_ptr<Encoder> MakeEncoderFor(char letter)
{
    if (letter == 'M')
        return MakeBase64Encoder();
    if (letter == 'U')
        return MakeUuEncoder();
    return MakeIdentityEncoder();
}

AttachmentStream::AttachmentStream(int fd, char letter) : fd_(fd), encoder_(MakeEncoderFor(letter)) {}

AttachmentStream::~AttachmentStream()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool AttachmentStream::Refill()
{
    // Read a whole number of base64 lines at a time so that most lines are encoded straight from it.
    static constexpr std::size_t kChunk = kBase64LineBytes * kUuLineBytes * 24;
    char buffer[kChunk];
    ssize_t n;
    do {
        n = ::read(fd_, buffer, sizeof buffer);
    } while (n < 0 && errno == EINTR);
    if (n < 0)
        return false;
    encoded_.erase(0, consumed_);
    consumed_ = 0;
    if (n == 0) {
        encoder_->Finish(encoded_);
        finished_ = true;
    } else {
        sourceBytes_ += n;
        encoder_->Feed(std::string_view(buffer, static_cast<std::size_t>(n)), encoded_);
    }
    return true;
}

bool AttachmentStream::Read(std::size_t size, std::string &out)
{
    while (encoded_.size() - consumed_ < size && !finished_)
        if (!Refill())
            return false;
    const std::size_t take = std::min(size, encoded_.size() - consumed_);
    out.append(encoded_, consumed_, take);
    consumed_ += take;
    return true;
}

void DotStuffer::Stuff(std::string_view in, std::string &out)
{
    out.reserve(out.size() + in.size() + 16);
    while (!in.empty()) {
        if (atLineStart_ && in.front() == '.')
            out.push_back('.');
        const void *lf = std::memchr(in.data(), '\n', in.size());
        if (!lf) {
            out.append(in);
            atLineStart_ = false;
            return;
        }
        const std::size_t n = static_cast<const char *>(lf) - in.data() + 1;
        out.append(in.substr(0, n));
        in.remove_prefix(n);
        atLineStart_ = true;
    }
}

} // namespace postrel
