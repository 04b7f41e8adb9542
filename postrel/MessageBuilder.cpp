#include "MessageBuilder.h"

#include <cstdio>

namespace postrel {
namespace {

constexpr const char *kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr const char *kModeWords[] = {"mail from: ", "send from: ", "soml from: ", "saml from: "};

bool HasLineBreak(const std::string &text) { return text.find_first_of("\r\n") != std::string::npos; }

// Header values never carry a line break of their own: it would start a header line of its own.
std::string OneLine(std::string text)
{
    for (char &c : text)
        if (c == '\r' || c == '\n')
            c = ' ';
    return text;
}

std::string Trimmed(const std::string &text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::vector<std::string> SplitAtCommas(const std::string &list)
{
    std::vector<std::string> pieces;
    std::string piece;
    for (char c : list) {
        if (c == ',') {
            pieces.push_back(std::move(piece));
            piece.clear();
        } else {
            piece.push_back(c);
        }
    }
    pieces.push_back(std::move(piece));
    return pieces;
}

std::string LastPathElement(const std::string &path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ContentTypeFor(const Attachment &a)
{
    if (a.letter == ' ')
        return "Content-Type: text/plain; charset=\"us-ascii\"";
    static constexpr struct {
        const char *needle;
        const char *type;
    } kTypes[] = {
        {".gif", "Content-Type: image/gif;"},   {".jpg", "Content-Type: image/jpeg;"},
        {".mpg", "Content-Type: video/mpeg;"},  {".mov", "Content-Type: video/mov;"},
        {".wav", "Content-Type: audio/wav;"},   {".au", "Content-Type: audio/basic;"},
        {".exe", "Content-Type: application/exe;"},
    };
    for (const auto &t : kTypes)
        if (a.fileName.find(t.needle) != std::string::npos)
            return t.type;
    return "Content-Type: application/octet-stream;";
}

MailBuild Refuse(std::string text, bool aborts = false)
{
    MailBuild build;
    build.refusal = MailRefusal{std::move(text), aborts};
    return build;
}

} // namespace

std::string DateText(std::time_t now)
{
    std::tm local{};
    localtime_r(&now, &local);
    long offsetMinutes = local.tm_gmtoff / 60;
    const char sign = offsetMinutes < 0 ? '-' : '+';
    if (offsetMinutes < 0)
        offsetMinutes = -offsetMinutes;
    char text[64];
    std::snprintf(text, sizeof text, "%2d %s %04d %02d:%02d:%02d %c%02ld%02ld", local.tm_mday,
                  kMonths[local.tm_mon % 12], local.tm_year + 1900, local.tm_hour, local.tm_min,
                  local.tm_sec, sign, offsetMinutes / 60, offsetMinutes % 60);
    return text;
}

std::vector<std::string> SplitRecipients(const std::string &list)
{
    std::vector<std::string> recipients;
    std::string piece;
    int quotes = 0;
    auto finish = [&] {
        std::string address = Trimmed(piece);
        if (!address.empty())
            recipients.push_back(std::move(address));
        piece.clear();
        quotes = 0;
    };
    for (char c : list) {
        if (c == ',' && quotes % 2 == 0) {
            finish();
            continue;
        }
        if (c == '"')
            ++quotes;
        piece.push_back(c);
    }
    finish();
    return recipients;
}

std::string PartHeader(const Attachment &a)
{
    const std::string name = OneLine(a.fileName);
    std::string header = ContentTypeFor(a) + " name=\"" + name + "\"\r\n";
    if (a.letter == 'M')
        header += "Content-Transfer-Encoding: base64\r\n";
    else if (a.letter == 'U')
        header += "Content-Transfer-Encoding: x-uuencode\r\n";
    header += "Content-Disposition: attachment; filename=\"" + name + "\"\r\n\r\n";
    if (a.letter == 'U')
        header += "begin 600 " + name + "\r\n";
    return header;
}

MailBuild BuildMail(const MailRequest &request, const std::string &dateText, const FileProbe &probe)
{
    if (!request.sender || !*request.sender || !request.recipients || !*request.recipients)
        return {};
    const std::string sender = request.sender;
    MailPlan plan;

    plan.recipients = SplitRecipients(request.recipients);
    if (plan.recipients.size() > kMaxRecipients)
        return Refuse("Recipients are limited to 40...aborting mail.", true);
    if (plan.recipients.empty())
        return {};

    std::vector<std::string> pieces;
    const std::string attachmentList = request.attachments ? request.attachments : "";
    if (!attachmentList.empty())
        pieces = SplitAtCommas(attachmentList);
    if (pieces.size() > kMaxAttachments)
        return Refuse("Attachments are limited to 20...aborting mail.", true);

    if (sender.size() > kMaxSenderLength)
        return Refuse("The sender is limited to 254 characters...mail not sent.");
    if (HasLineBreak(sender))
        return Refuse("The sender contains a line break...mail not sent.");
    for (const auto &r : plan.recipients) {
        if (r.size() > kMaxRecipientLength)
            return Refuse("A recipient is limited to 63 characters...mail not sent.");
        if (HasLineBreak(r))
            return Refuse("A recipient contains a line break...mail not sent.");
    }
    for (const auto &p : pieces)
        if (p.size() > kMaxAttachmentPathLength)
            return Refuse("An attachment path is limited to 127 characters...mail not sent.");

    std::vector<std::string> letters;
    if (request.encodings && *request.encodings)
        letters = SplitAtCommas(request.encodings);
    for (const auto &e : letters)
        if (e.size() > kMaxEncodingEntryLength)
            return Refuse("An encoding entry is limited to 9 characters...mail not sent.");

    for (const auto &p : pieces) {
        const auto size = probe(p);
        if (!size)
            continue; // a missing file is skipped without a word
        Attachment a;
        a.path = p;
        a.fileName = LastPathElement(p);
        a.size = *size;
        const std::size_t k = plan.attachments.size();
        a.letter = k < letters.size() && !letters[k].empty() ? letters[k][0] : '\0';
        plan.totalEstimate += a.letter == ' ' ? *size : *size * 133 / 100;
        plan.attachments.push_back(std::move(a));
    }

    std::string header;
    bool wroteHeader = false;
    if (request.addDate) {
        header += "Date: " + dateText + "\r\n";
        wroteHeader = true;
    }
    if (request.addFrom) {
        header += "From: " + sender + "\r\n";
        wroteHeader = true;
    }
    if (request.addToCc) {
        header += "To: " + plan.recipients.front() + "\r\n";
        if (plan.recipients.size() > 1) {
            header += "CC: ";
            for (std::size_t i = 1; i < plan.recipients.size(); ++i)
                header += (i > 1 ? "," : "") + plan.recipients[i];
            header += "\r\n";
        }
        wroteHeader = true;
    }
    if (request.subject && *request.subject) {
        header += "Subject: " + OneLine(request.subject) + "\r\n";
        wroteHeader = true;
    }
    const std::string boundaryLine = std::string("--") + kMessageBoundary + "\r\n";
    if (!attachmentList.empty() && wroteHeader)
        header += "X-Attachments: " + OneLine(attachmentList) + "\r\n";
    if (!plan.attachments.empty() && wroteHeader) {
        header += "MIME-Version: 1.0\r\n";
        header += std::string("Content-Type: multipart/mixed; boundary=\"") + kMessageBoundary + "\"\r\n\r\n";
        header += boundaryLine;
        header += "Content-Type: text/plain; charset=\"us-ascii\"\r\n\r\n";
    }
    if (header.size() > kMaxHeaderBlock)
        return Refuse("The header block is limited to 4095 bytes...mail not sent.");

    plan.messageText = std::move(header);
    if (wroteHeader)
        plan.messageText += "\r\n";
    if (request.body && request.bodyLength > 0)
        plan.messageText.append(request.body, static_cast<std::size_t>(request.bodyLength));
    plan.messageText += "\r\n\r\n";
    if (!plan.attachments.empty())
        plan.messageText += boundaryLine;

    const int mode = request.mode >= 0 && request.mode <= 3 ? request.mode : 0;
    plan.envelopeCommand = kModeWords[mode];
    plan.envelopeCommand += sender.find('>') == std::string::npos ? "<" + sender + ">" : sender;
    plan.envelopeCommand += "\r\n";

    MailBuild build;
    build.plan = std::move(plan);
    return build;
}

} // namespace postrel
