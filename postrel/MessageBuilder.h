// Builds one mail from MailSmtp's arguments: the envelope, the header block and message text, and the
// list of attachments to stream after it. Pure: the file system is reached through FileProbe, so the
// builder can be driven by tests and fuzzers without a disk or a network.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace postrel {

inline constexpr const char *kMessageBoundary = "==========_080815456==_";

// Limits of one mail. Counts over the limit abort the mail; texts over a capacity are refused.
inline constexpr std::size_t kMaxRecipients = 40;
inline constexpr std::size_t kMaxAttachments = 20;
inline constexpr std::size_t kMaxSenderLength = 254;
inline constexpr std::size_t kMaxRecipientLength = 63;
inline constexpr std::size_t kMaxAttachmentPathLength = 127;
inline constexpr std::size_t kMaxEncodingEntryLength = 9;
inline constexpr std::size_t kMaxHeaderBlock = 4095;

struct MailRequest {
    int mode = 0;
    const char *sender = nullptr;
    const char *recipients = nullptr;
    bool addDate = false;
    bool addFrom = false;
    const char *subject = nullptr;
    bool addToCc = false;
    const char *body = nullptr;
    std::int32_t bodyLength = 0;
    const char *attachments = nullptr;
    const char *encodings = nullptr;
};

struct Attachment {
    std::string path;
    std::string fileName; // the last path element
    char letter = '\0';   // 'M' base64, 'U' uuencode, ' ' plain text, anything else sent as it is
    std::int64_t size = 0; // the file's size when the mail was made; the bytes sent must match it
};

struct MailPlan {
    std::string envelopeCommand; // "mail from: <...>" CRLF
    std::vector<std::string> recipients;
    std::vector<Attachment> attachments;
    std::string messageText; // header block, body and, with attachments, the first boundary line
    std::int64_t totalEstimate = 0;
};

struct MailRefusal {
    std::string text;
    bool abortsChannel = false; // the recipient and attachment count limits also end the session
};

// Size of an existing regular file, or nothing when the path names none.
using FileProbe = std::function<std::optional<std::int64_t>(const std::string &path)>;

// The Date header's value: " 7 Dec 2026 06:50:36 +0100".
std::string DateText(std::time_t now);

// Splits the recipient list at commas outside double quotes; blanks around a piece are trimmed and
// empty pieces dropped.
std::vector<std::string> SplitRecipients(const std::string &list);

// The MIME headers of one attachment part, up to and including the blank line (and "begin 600").
std::string PartHeader(const Attachment &attachment);

// Either a plan or a refusal; `refusal` is set when the mail must not be sent.
struct MailBuild {
    std::optional<MailPlan> plan;
    std::optional<MailRefusal> refusal;
};
MailBuild BuildMail(const MailRequest &request, const std::string &dateText, const FileProbe &probe);

} // namespace postrel
