// Builds mails from arbitrary arguments and checks that nothing in them can break the message apart:
// header lines stay lines, commands stay one line, limits hold.
#include "MessageBuilder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
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

bool OneLine(const std::string &text, std::size_t end)
{
    return text.find_first_of("\r\n") == end;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    const std::string sender = in.ConsumeRandomLengthString(300);
    const std::string recipients = in.ConsumeRandomLengthString(3000);
    const std::string subject = in.ConsumeRandomLengthString(300);
    const std::string body = in.ConsumeRandomLengthString(2000);
    const std::string attachments = in.ConsumeRandomLengthString(3000);
    const std::string encodings = in.ConsumeRandomLengthString(200);
    postrel::MailRequest request;
    request.mode = in.ConsumeIntegralInRange(-1, 4);
    request.sender = sender.c_str();
    request.recipients = recipients.c_str();
    request.addDate = in.ConsumeBool();
    request.addFrom = in.ConsumeBool();
    request.subject = subject.c_str();
    request.addToCc = in.ConsumeBool();
    request.body = body.data();
    request.bodyLength = in.ConsumeIntegralInRange<std::int32_t>(-5, static_cast<std::int32_t>(body.size()));
    request.attachments = attachments.c_str();
    request.encodings = encodings.c_str();

    // Paths of even length "exist".
    auto probe = [](const std::string &path) -> std::optional<std::int64_t> {
        if (path.size() % 2)
            return std::nullopt;
        return static_cast<std::int64_t>(path.size() * 1000);
    };
    const auto build = postrel::BuildMail(request, postrel::DateText(1700000000), probe);
    Require(!(build.plan && build.refusal));
    if (!build.plan)
        return 0;
    const auto &plan = *build.plan;
    Require(OneLine(plan.envelopeCommand, plan.envelopeCommand.size() - 2));
    Require(!plan.recipients.empty() && plan.recipients.size() <= postrel::kMaxRecipients);
    for (const auto &r : plan.recipients)
        Require(!r.empty() && r.size() <= postrel::kMaxRecipientLength && r.find_first_of("\r\n") == std::string::npos);
    Require(plan.attachments.size() <= postrel::kMaxAttachments);
    for (const auto &a : plan.attachments) {
        Require(a.path.size() <= postrel::kMaxAttachmentPathLength);
        const std::string header = postrel::PartHeader(a);
        // Every header line ends in CR LF and holds no other line break.
        std::size_t start = 0;
        while (start < header.size()) {
            const auto end = header.find("\r\n", start);
            Require(end != std::string::npos);
            Require(header.substr(start, end - start).find_first_of("\r\n") == std::string::npos);
            start = end + 2;
        }
    }
    // The header block: whole lines up to the first empty line, none of them broken by a value.
    const std::string &text = plan.messageText;
    const bool anyHeader = request.addDate || request.addFrom || request.addToCc || *subject.c_str() != 0;
    if (anyHeader) {
        const auto blockEnd = text.find("\r\n\r\n");
        Require(blockEnd != std::string::npos);
        Require(blockEnd <= postrel::kMaxHeaderBlock);
        std::size_t start = 0;
        while (start <= blockEnd) {
            const auto end = text.find("\r\n", start);
            const std::string line = text.substr(start, end - start);
            Require(line.find_first_of("\r\n") == std::string::npos);
            Require(line.find(": ") != std::string::npos);
            start = end + 2;
        }
    }
    return 0;
}
