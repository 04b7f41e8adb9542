// Messages sent through libpostrel to a real SMTP server (aiosmtpd), read back with Python's email
// parser: envelope, headers, MIME structure, and attachments that decode to the exact file bytes.
#include "Harness.h"

#include <gtest/gtest.h>

#include <ctime>
#include <map>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace postrel_test;

namespace {

struct Received {
    std::multimap<std::string, std::string> facts; // key -> value, from <n>.txt
    std::vector<std::string> Values(const std::string &key) const
    {
        std::vector<std::string> out;
        auto [a, b] = facts.equal_range(key);
        for (auto it = a; it != b; ++it)
            out.push_back(it->second);
        return out;
    }
    std::string Header(const std::string &name) const
    {
        for (const auto &h : Values("header"))
            if (h.rfind(name + ": ", 0) == 0)
                return h.substr(name.size() + 2);
        return "<none>";
    }
};

Received ReadReceived(const std::string &dir, int n)
{
    Received r;
    std::istringstream in(ReadFile(dir + "/" + std::to_string(n) + ".txt"));
    std::string line;
    while (std::getline(in, line)) {
        const auto tab = line.find('\t');
        if (tab != std::string::npos)
            r.facts.emplace(line.substr(0, tab), line.substr(tab + 1));
    }
    return r;
}

std::string RandomBytes(std::size_t n, unsigned seed)
{
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (auto &c : s)
        c = static_cast<char>(gen());
    return s;
}

class RealServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        outDir = MakeTempDir();
        server = std::make_unique<RealServer>(outDir);
        ASSERT_TRUE(server->Ok()) << "aiosmtpd did not start";
    }

    // Connects, waits for HELO to be accepted, mails, waits for the 250 after the final dot, quits.
    void Send(const std::string &recipients, const std::string &subject, const std::string &body,
              const std::string &attachments, const std::string &encodings)
    {
        ASSERT_NE(recorder.Connect("127.0.0.1", server->Port()), 0);
        ASSERT_TRUE(PumpUntil([&] { return recorder.HasSmtp(4, 2, 250) || recorder.LastException(); }));
        int32_t queued;
        {
            InExport guard;
            queued = MailSmtp(recorder.handle, 0, "sender@example.org", recipients.c_str(), 1, 1, subject.c_str(), 1,
                              body.data(), static_cast<int32_t>(body.size()), attachments.c_str(), encodings.c_str());
        }
        ASSERT_EQ(queued, 1);
        ASSERT_TRUE(PumpUntil([&] { return recorder.HasSmtp(1, 0, 250) || recorder.LastException(); }, 20000))
            << recorder.Dump();
        ASSERT_EQ(recorder.LastException(), nullptr) << recorder.Dump();
        {
            InExport guard;
            ASSERT_EQ(CloseSmtp(recorder.handle, 0), 1);
        }
        ASSERT_TRUE(PumpUntil([&] { return recorder.Closed(); }));
        EXPECT_EQ(recorder.callbacksInsideExports, 0);
    }

    std::string Attachment(const std::string &name, const std::string &bytes)
    {
        const std::string path = outDir + "/" + name;
        WriteFile(path, bytes);
        return path;
    }

    std::string outDir;
    std::unique_ptr<RealServer> server;
    Recorder recorder;
};

TEST_F(RealServerTest, PlainMessageCarriesEnvelopeAndHeaders)
{
    const std::string body = "Hello there,\r\n.a line that starts with a dot\r\n.\r\nlast line";
    Send("first@example.org, <jane@example.org>,third@example.org", "Holiday pictures", body, "", "");

    const Received r = ReadReceived(outDir, 0);
    EXPECT_EQ(r.Values("mail_from"), std::vector<std::string>{"sender@example.org"});
    EXPECT_EQ(r.Values("rcpt"), (std::vector<std::string>{"first@example.org", "jane@example.org", "third@example.org"}));
    EXPECT_EQ(r.Values("helo"), std::vector<std::string>{"[127.0.0.1]"});
    EXPECT_EQ(r.Header("From"), "sender@example.org");
    EXPECT_EQ(r.Header("To"), "first@example.org");
    EXPECT_EQ(r.Header("CC"), "<jane@example.org>,third@example.org");
    EXPECT_EQ(r.Header("Subject"), "Holiday pictures");
    EXPECT_EQ(r.Header("MIME-Version"), "<none>");
    EXPECT_TRUE(r.Values("defect").empty());
    // The body arrives whole: the dot lines were made transparent and restored by the server.
    const std::string eml = ReadFile(outDir + "/0.eml");
    EXPECT_NE(eml.find("\r\n\r\n" + body + "\r\n\r\n"), std::string::npos) << eml;

    // The date carries a four-digit year and a zone, within a minute of now.
    const std::string date = r.Header("Date");
    std::tm parsed{};
    const char *end = strptime(date.c_str(), "%d %b %Y %H:%M:%S %z", &parsed);
    ASSERT_NE(end, nullptr) << date;
    EXPECT_EQ(*end, '\0') << date;
    const long offset = parsed.tm_gmtoff;
    const std::time_t sent = timegm(&parsed) - offset;
    EXPECT_LT(std::labs(static_cast<long>(std::time(nullptr) - sent)), 60) << date;
}

struct EncodingCase {
    const char *letter;
    const char *transferEncoding;
};

class AttachmentTest : public RealServerTest, public ::testing::WithParamInterface<EncodingCase> {};

TEST_P(AttachmentTest, OneAttachmentDecodesToTheFile)
{
    const auto param = GetParam();
    const std::string bytes = RandomBytes(100000, 7);
    const std::string path = Attachment("photo.jpg", bytes);
    Send("to@example.org", "One file", "See the picture.", path, param.letter);

    const Received r = ReadReceived(outDir, 0);
    EXPECT_EQ(r.Header("MIME-Version"), "1.0");
    EXPECT_EQ(r.Header("X-Attachments"), path);
    EXPECT_TRUE(r.Values("defect").empty());
    const auto parts = r.Values("part");
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0], "text/plain|None|None|0-0.bin");
    EXPECT_NE(ReadFile(outDir + "/0-0.bin").find("See the picture."), std::string::npos);
    EXPECT_EQ(parts[1], std::string("image/jpeg|photo.jpg|") + param.transferEncoding + "|0-1.bin");
    EXPECT_TRUE(ReadFile(outDir + "/0-1.bin") == bytes) << "attachment bytes differ";

    // Progress: " " 0 first, then rising percentages below 100, and 100 at the end.
    const auto attach = recorder.Of(Event::Attach);
    ASSERT_GE(attach.size(), 3u);
    EXPECT_EQ(attach.front().text, " ");
    EXPECT_EQ(attach.front().percent, 0);
    EXPECT_EQ(attach.back().percent, 100);
    for (std::size_t i = 1; i + 1 < attach.size(); ++i) {
        EXPECT_EQ(attach[i].text, path);
        EXPECT_LE(attach[i].percent, 99);
        EXPECT_GE(attach[i].percent, attach[i - 1].percent);
    }
}

TEST_P(AttachmentTest, ThreeAttachmentsOfAwkwardSizes)
{
    const auto param = GetParam();
    // An empty file, one that fills whole encoded lines, and one whose encoded text ends on a block.
    const std::string a = "";
    const std::string b = RandomBytes(54 * 45, 11);
    const std::string c = RandomBytes(3 * 8192, 12) + ".\r\n..\r\n";
    const std::string pa = Attachment("empty.gif", a), pb = Attachment("lines.wav", b), pc = Attachment("data.bin", c);
    const std::string letter = param.letter;
    Send("to@example.org", "Three files", "Three files follow.", pa + "," + pb + "," + pc,
         letter + "," + letter + "," + letter);

    const Received r = ReadReceived(outDir, 0);
    EXPECT_TRUE(r.Values("defect").empty());
    const auto parts = r.Values("part");
    ASSERT_EQ(parts.size(), 4u);
    const std::string enc = param.transferEncoding;
    EXPECT_EQ(parts[1], "image/gif|empty.gif|" + enc + "|0-1.bin");
    EXPECT_EQ(parts[2], "audio/wav|lines.wav|" + enc + "|0-2.bin");
    EXPECT_EQ(parts[3], "application/octet-stream|data.bin|" + enc + "|0-3.bin");
    EXPECT_TRUE(ReadFile(outDir + "/0-1.bin") == a);
    EXPECT_TRUE(ReadFile(outDir + "/0-2.bin") == b);
    EXPECT_TRUE(ReadFile(outDir + "/0-3.bin") == c);
}

INSTANTIATE_TEST_SUITE_P(Encodings, AttachmentTest,
                         ::testing::Values(EncodingCase{"M", "base64"}, EncodingCase{"U", "x-uuencode"}),
                         [](const auto &info) { return std::string(info.param.letter) == "M" ? "Base64" : "Uuencode"; });

TEST_F(RealServerTest, UnencodedTextAttachmentWithDotLinesArrivesIntact)
{
    // Sent as it is: lines that start with a dot, also right at the start of an 8,192-byte block.
    std::string text;
    while (text.size() < 8192 - 80)
        text += std::string(78, 'x') + "\r\n";
    text += std::string(8192 - 2 - text.size(), 'x') + "\r\n";
    ASSERT_EQ(text.size(), 8192u);
    text += ".hidden at a block start\r\n.\r\n";
    while (text.size() % 8192 != 0)
        text += text.size() % 8192 > 8192 - 80 ? "y" : std::string(70, 'y') + "\r\n";
    ASSERT_EQ(text.size() % 8192, 0u);
    const std::string path = Attachment("notes.txt", text);
    Send("to@example.org", "Notes", "Body.", path, " ");

    const Received r = ReadReceived(outDir, 0);
    const auto parts = r.Values("part");
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[1], "text/plain|notes.txt|None|0-1.bin");
    EXPECT_TRUE(ReadFile(outDir + "/0-1.bin") == text);
}

TEST_F(RealServerTest, AttachmentThatShrinksWhileSentResetsTheConnection)
{
    const std::string path = Attachment("clip.mpg", RandomBytes(4 << 20, 5));
    ASSERT_NE(recorder.Connect("127.0.0.1", server->Port()), 0);
    ASSERT_TRUE(PumpUntil([&] { return recorder.HasSmtp(4, 2, 250); }));
    ASSERT_EQ(MailSmtp(recorder.handle, 0, "a@example.org", "b@example.org", 1, 1, "Clip", 1, "x", 1, path.c_str(), "M"),
              1);
    ASSERT_TRUE(PumpUntil([&] {
        for (const auto &e : recorder.Of(Event::Attach))
            if (e.text == path && e.percent > 0)
                return true;
        return false;
    }, 20000)) << recorder.Dump();
    ASSERT_EQ(truncate(path.c_str(), 100000), 0);
    ASSERT_TRUE(PumpUntil([&] { return recorder.Closed(); }, 20000)) << recorder.Dump();

    const Event *e = recorder.LastException();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->code, 7);
    EXPECT_EQ(e->text, "Attachment changed while being sent " + path);
    for (const auto &a : recorder.Of(Event::Attach))
        EXPECT_LT(a.percent, 100);
    EXPECT_FALSE(recorder.HasSmtp(1, 0, 250));
    PumpFor(300);
    struct stat st;
    EXPECT_NE(stat((outDir + "/0.txt").c_str(), &st), 0) << "a partial message was accepted";
}

TEST_F(RealServerTest, SeveralMessagesOnOneSession)
{
    ASSERT_NE(recorder.Connect("localhost", server->Port()), 0); // a name, resolved without blocking
    ASSERT_TRUE(PumpUntil([&] { return recorder.HasSmtp(4, 2, 250) || recorder.LastException(); }));
    for (int i = 0; i < 2; ++i) {
        recorder.events.clear();
        const std::string subject = "Message " + std::to_string(i);
        ASSERT_EQ(MailSmtp(recorder.handle, 0, "<sender@example.org>", "to@example.org", 0, 0, subject.c_str(), 0,
                           "x", 1, nullptr, nullptr),
                  1);
        ASSERT_TRUE(PumpUntil([&] { return recorder.HasSmtp(1, 0, 250) || recorder.LastException(); }))
            << recorder.Dump();
    }
    ASSERT_EQ(ResetSmtp(recorder.handle), 1);
    ASSERT_TRUE(PumpUntil([&] { return recorder.HasSmtp(4, 8, 250); }));
    ASSERT_EQ(CloseSmtp(recorder.handle, 0), 1);
    ASSERT_TRUE(PumpUntil([&] { return recorder.Closed(); }));
    EXPECT_TRUE(recorder.HasSmtp(1, 6, 0)); // the 221 to QUIT, reported with reply code 0
    const Event *e = recorder.LastException();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->code, 13);
    EXPECT_EQ(e->text, "Remote Host Closed");
    EXPECT_EQ(ReadReceived(outDir, 1).Header("Subject"), "Message 1");
    EXPECT_EQ(ReadReceived(outDir, 1).Header("Date"), "<none>");
}

} // namespace
