// The protocol logic without sockets: reply assembly, message building, encoders, error numbers.
#include "Encoders.h"
#include "Errors.h"
#include "Extensions.h"
#include "MessageBuilder.h"
#include "ReplyReader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cerrno>
#include <map>
#include <unistd.h>

using namespace postrel;

namespace {

std::vector<ReplyLine> FeedAll(ReplyReader &reader, const std::vector<std::string> &pieces, bool greeting = false)
{
    std::vector<ReplyLine> lines;
    for (const auto &p : pieces)
        reader.Feed(p, [&] { return greeting; }, [&](const ReplyLine &l) { lines.push_back(l); });
    return lines;
}

TEST(ReplyReaderTest, AssemblesPiecesAndSplitsLines)
{
    ReplyReader reader;
    auto lines = FeedAll(reader, {"25", "0-first\r", "\n250 second\r\n451"});
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, "250-first\r\n");
    EXPECT_EQ(lines[0].code, 250);
    EXPECT_FALSE(lines[0].IsFinal());
    EXPECT_TRUE(lines[1].IsFinal());
    EXPECT_EQ(reader.Pending(), 3u);
    lines = FeedAll(reader, {" later\r\n"});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].code, 451);
    EXPECT_EQ(lines[0].text, "451 later\r\n");
    // A bare LF does not end a line; a line without a numeric code has code -1.
    lines = FeedAll(reader, {"abc\nde\r\n"});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].code, -1);
}

TEST(ReplyReaderTest, GreetingFoundAnywhereWhileAwaited)
{
    ReplyReader reader;
    auto lines = FeedAll(reader, {"* banner 220 ok\r\n"}, true);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].code, 220);
    EXPECT_EQ(lines[0].separator, ' ');
    lines = FeedAll(reader, {"* banner 220 ok\r\n"}, false);
    EXPECT_EQ(lines[0].code, -1);
}

TEST(ReplyReaderTest, OverlongLineIsCutButStillEnds)
{
    ReplyReader reader;
    auto lines = FeedAll(reader, {"500 " + std::string(5000, 'x'), std::string(3000, 'y'), "\r\n250 ok\r\n"});
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text.size(), ReplyReader::kLineCapacity);
    EXPECT_EQ(lines[0].code, 500);
    EXPECT_EQ(lines[1].text, "250 ok\r\n");
    EXPECT_EQ(reader.Pending(), 0u);
}

struct FakeFiles {
    std::map<std::string, std::int64_t> sizes;
    FileProbe Probe() const
    {
        return [this](const std::string &p) -> std::optional<std::int64_t> {
            auto it = sizes.find(p);
            if (it == sizes.end())
                return std::nullopt;
            return it->second;
        };
    }
};

MailRequest Request(const char *sender, const char *recipients)
{
    MailRequest r;
    r.sender = sender;
    r.recipients = recipients;
    return r;
}

TEST(EhloParserTest, FindsStartTlsAndMechanismsOnlyWhereOffered)
{
    auto parse = [](std::initializer_list<const char *> lines) {
        postrel::EhloParser parser;
        for (const char *line : lines)
            parser.Feed(line);
        return parser.Extensions();
    };
    auto e = parse({"250-mail.example.org STARTTLS\r\n", "250-starttls\r\n", "250 AUTH cram-md5 login\r\n"});
    EXPECT_TRUE(e.startTls); // case does not matter; the server's name on the first line does not count
    EXPECT_TRUE(e.authLogin);
    EXPECT_FALSE(e.authPlain);
    e = parse({"250-x\r\n", "250-AUTH=PLAIN\r\n", "250 SIZE 100\r\n"});
    EXPECT_TRUE(e.authPlain);
    e = parse({"250-x\r\n", "250-STARTTLSX\r\n", "500 STARTTLS\r\n", "250-SIZE AUTH PLAIN\r\n"});
    EXPECT_FALSE(e.startTls || e.authPlain || e.authLogin);
}

TEST(MessageBuilderTest, HeaderBlockAndEnvelope)
{
    FakeFiles files{{{"/a/photo.jpg", 1000}, {"/a/notes.txt", 300}}};
    MailRequest r = Request("Me <me@x.org>", "a@x.org,b@x.org , c@x.org");
    r.addDate = r.addFrom = r.addToCc = true;
    r.subject = "Pictures";
    r.body = "Hello\r\nthere";
    r.bodyLength = 5; // only the first bytes count
    r.attachments = "/a/photo.jpg,/a/missing.gif,/a/notes.txt";
    r.encodings = "M, ";
    r.mode = 3;
    const auto build = BuildMail(r, "DATE", files.Probe());
    ASSERT_TRUE(build.plan);
    const MailPlan &plan = *build.plan;
    EXPECT_EQ(plan.envelopeCommand, "saml from: Me <me@x.org>\r\n");
    EXPECT_EQ(plan.recipients, (std::vector<std::string>{"a@x.org", "b@x.org", "c@x.org"}));
    ASSERT_EQ(plan.attachments.size(), 2u);
    EXPECT_EQ(plan.attachments[0].letter, 'M');
    EXPECT_EQ(plan.attachments[1].letter, ' ');
    EXPECT_EQ(plan.attachments[1].fileName, "notes.txt");
    EXPECT_EQ(plan.totalEstimate, 1000 * 133 / 100 + 300);
    EXPECT_EQ(plan.messageText,
              "Date: DATE\r\nFrom: Me <me@x.org>\r\nTo: a@x.org\r\nCC: b@x.org,c@x.org\r\nSubject: Pictures\r\n"
              "X-Attachments: /a/photo.jpg,/a/missing.gif,/a/notes.txt\r\nMIME-Version: 1.0\r\n"
              "Content-Type: multipart/mixed; boundary=\"==========_080815456==_\"\r\n\r\n"
              "--==========_080815456==_\r\nContent-Type: text/plain; charset=\"us-ascii\"\r\n\r\n"
              "\r\nHello\r\n\r\n--==========_080815456==_\r\n");
}

TEST(MessageBuilderTest, NoHeadersMeansNoMimeAndNoSeparator)
{
    FakeFiles files{{{"/a/x.bin", 10}}};
    MailRequest r = Request("me@x.org", "a@x.org");
    r.body = "Body";
    r.bodyLength = 4;
    r.attachments = "/a/x.bin";
    const auto build = BuildMail(r, "DATE", files.Probe());
    ASSERT_TRUE(build.plan);
    EXPECT_EQ(build.plan->messageText, "Body\r\n\r\n--==========_080815456==_\r\n");
    EXPECT_EQ(build.plan->envelopeCommand, "mail from: <me@x.org>\r\n");
    EXPECT_EQ(build.plan->attachments[0].letter, '\0'); // no entry: sent as it is, typed by name
}

TEST(MessageBuilderTest, MissingArgumentsAndEmptyRecipients)
{
    FakeFiles files;
    EXPECT_FALSE(BuildMail(Request(nullptr, "a@x"), "D", files.Probe()).plan);
    EXPECT_FALSE(BuildMail(Request("me@x", ""), "D", files.Probe()).plan);
    const auto commas = BuildMail(Request("me@x", " , ,"), "D", files.Probe());
    EXPECT_FALSE(commas.plan);
    EXPECT_FALSE(commas.refusal);
}

TEST(MessageBuilderTest, QuotedCommasDoNotSplit)
{
    EXPECT_EQ(SplitRecipients("\"Doe, Jane\" <j@x>,\"A, \"\"B, C\" <k@x>, l@x"),
              (std::vector<std::string>{"\"Doe, Jane\" <j@x>", "\"A, \"\"B, C\" <k@x>", "l@x"}));
}

TEST(MessageBuilderTest, PartHeadersByEncodingAndName)
{
    Attachment a{"/p/clip.wav.exe", "clip.wav.exe", 'U'};
    EXPECT_EQ(PartHeader(a), "Content-Type: audio/wav; name=\"clip.wav.exe\"\r\n"
                             "Content-Transfer-Encoding: x-uuencode\r\n"
                             "Content-Disposition: attachment; filename=\"clip.wav.exe\"\r\n\r\n"
                             "begin 600 clip.wav.exe\r\n");
    Attachment t{"/p/a.jpg", "a.jpg", ' '};
    EXPECT_EQ(PartHeader(t), "Content-Type: text/plain; charset=\"us-ascii\" name=\"a.jpg\"\r\n"
                             "Content-Disposition: attachment; filename=\"a.jpg\"\r\n\r\n");
    const std::pair<const char *, const char *> types[] = {
        {"x.gif", "image/gif;"}, {"x.mpg", "video/mpeg;"}, {"x.au", "audio/basic;"},
        {"x.exe", "application/exe;"}, {"x.JPG", "application/octet-stream;"}};
    for (auto [name, type] : types) {
        Attachment m{name, name, 'M'};
        EXPECT_EQ(PartHeader(m).rfind(std::string("Content-Type: ") + type + " name=", 0), 0u) << name;
    }
    Attachment evil{"/p/a\r\nb.txt", "a\r\nb.txt", 'M'};
    EXPECT_EQ(PartHeader(evil).find("a\r\nb"), std::string::npos);
}

TEST(MessageBuilderTest, DateHasFourDigitYearAndZone)
{
    setenv("TZ", "CET-1", 1);
    tzset();
    EXPECT_EQ(DateText(1709250000), " 1 Mar 2024 00:40:00 +0100");
    setenv("TZ", "UTC0", 1);
    tzset();
    EXPECT_EQ(DateText(1709250000), "29 Feb 2024 23:40:00 +0000");
    setenv("TZ", "<-0330>3:30", 1);
    tzset();
    EXPECT_EQ(DateText(1709250000), "29 Feb 2024 20:10:00 -0330");
    unsetenv("TZ");
    tzset();
}

std::string Encode(std::unique_ptr<Encoder> e, const std::string &bytes)
{
    std::string out;
    e->Feed(bytes, out);
    e->Finish(out);
    return out;
}

TEST(EncoderTest, Base64LinesAndPadding)
{
    EXPECT_EQ(Encode(MakeBase64Encoder(), ""), "\r\n");
    EXPECT_EQ(Encode(MakeBase64Encoder(), "M"), "TQ==\r\n");
    EXPECT_EQ(Encode(MakeBase64Encoder(), "Ma"), "TWE=\r\n");
    EXPECT_EQ(Encode(MakeBase64Encoder(), "Man"), "TWFu\r\n");
    // 54 bytes fill a 72-character line exactly: an empty line follows.
    const std::string full = Encode(MakeBase64Encoder(), std::string(54, '\xff'));
    EXPECT_EQ(full, std::string(72, '/') + "\r\n\r\n");
    const std::string more = Encode(MakeBase64Encoder(), std::string(55, '\0'));
    EXPECT_EQ(more, std::string(72, 'A') + "\r\nAA==\r\n");
}

TEST(EncoderTest, UuencodeWithGraveAccents)
{
    EXPECT_EQ(Encode(MakeUuEncoder(), "Cat"), "#0V%T\r\n`\r\nend\r\n");
    EXPECT_EQ(Encode(MakeUuEncoder(), ""), "`\r\nend\r\n");
    EXPECT_EQ(Encode(MakeUuEncoder(), std::string(3, '\0')), "#````\r\n`\r\nend\r\n");
    const std::string lines = Encode(MakeUuEncoder(), std::string(46, 'a'));
    EXPECT_EQ(lines.substr(0, 1), "M");
    EXPECT_EQ(lines.find("\r\n"), 61u); // 1 + 45 / 3 * 4
    EXPECT_EQ(lines.substr(63, 1), "!");
}

TEST(EncoderTest, StreamHandsOutBlocksOfTheEncodedText)
{
    char path[] = "/tmp/postrel-stream-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const std::string bytes(100000, 'z');
    ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    lseek(fd, 0, SEEK_SET);
    AttachmentStream stream(fd, 'M');
    std::string all, block;
    std::vector<std::size_t> sizes;
    do {
        block.clear();
        ASSERT_TRUE(stream.Read(8192, block));
        sizes.push_back(block.size());
        all += block;
    } while (block.size() == 8192);
    unlink(path);
    EXPECT_EQ(all, Encode(MakeBase64Encoder(), bytes));
    EXPECT_EQ(sizes.size(), all.size() / 8192 + 1);
}

TEST(DotStufferTest, LineStartsCarryAcrossBlocks)
{
    DotStuffer s;
    std::string out;
    s.Stuff(".a\r\nb\r", out);
    s.Stuff("\n.c", out);
    s.Stuff("\r\n", out);
    s.Stuff(".", out);
    s.Stuff("d.\n.", out);
    EXPECT_EQ(out, "..a\r\nb\r\n..c\r\n..d.\n..");
}

TEST(ErrorsTest, SocketNumbersAndErrno)
{
    EXPECT_EQ(ErrorForErrno(ECONNREFUSED).code, 4);
    EXPECT_EQ(ErrorForErrno(ECONNREFUSED).text, "Connection Refused");
    EXPECT_EQ(ErrorForErrno(ECONNRESET).code, 13);
    EXPECT_EQ(ErrorForErrno(ETIMEDOUT).text, "Connection Timed Out");
    EXPECT_EQ(ErrorForErrno(EACCES).code, 2);
    EXPECT_EQ(ErrorForErrno(EACCES).text, "Error not defined");
    EXPECT_EQ(ErrorForSocketNumber(10024).code, 15);
    EXPECT_EQ(ErrorForSocketNumber(11004).text, "Valid name, no data record of requested type");
}

} // namespace
