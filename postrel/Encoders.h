// Attachment content as it goes on the wire: base64 ("M"), uuencode ("U") or the file as it is.
// The encoded text is produced on the fly while the file is read, so memory use does not grow with
// the attachment's size and nothing is written to disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace postrel {

// Turns source bytes into encoded text, line by line. Feed any number of pieces, then Finish once.
class Encoder {
public:
    virtual ~Encoder() = default;
    virtual void Feed(std::string_view bytes, std::string &out) = 0;
    virtual void Finish(std::string &out) = 0;
};

// Standard alphabet, 72 characters a line, CRLF line ends; the last line is padded with "=" and is
// empty when the text ends on a full line.
std::unique_ptr<Encoder> MakeBase64Encoder();
// 45 bytes a line, a length character first, blanks written as grave accents; ends with a line of
// one grave accent and the line "end". The "begin" line belongs to the part header.
std::unique_ptr<Encoder> MakeUuEncoder();
// Passes bytes through unchanged.
std::unique_ptr<Encoder> MakeIdentityEncoder();
std::unique_ptr<Encoder> MakeEncoderFor(char letter);

// Reads one attachment file and hands out its encoded text in blocks.
class AttachmentStream {
public:
    AttachmentStream(int fd, char letter);
    ~AttachmentStream();
    AttachmentStream(const AttachmentStream &) = delete;
    AttachmentStream &operator=(const AttachmentStream &) = delete;

    // Appends up to `size` bytes of encoded text to `out`; fewer only at the end. False on a read error.
    bool Read(std::size_t size, std::string &out);
    // The bytes read from the file so far.
    std::int64_t SourceBytes() const { return sourceBytes_; }

private:
    bool Refill();

    int fd_;
    std::unique_ptr<Encoder> encoder_;
    std::string encoded_;
    std::size_t consumed_ = 0;
    std::int64_t sourceBytes_ = 0;
    bool finished_ = false;
};

// SMTP transparency: a line that begins with "." gets another "." in front. The state carries from
// one block to the next, so a line that starts at the beginning of a block is caught as well.
class DotStuffer {
public:
    void Stuff(std::string_view in, std::string &out);
    void Reset() { atLineStart_ = true; }

private:
    bool atLineStart_ = true;
};

} // namespace postrel
