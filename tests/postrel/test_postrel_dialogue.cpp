// The SMTP dialogue of libpostrel against scripted servers: replies in pieces, continuation lines,
// failures, junk, closing and silent servers, limits, and the exact bytes of envelope and message.
#include "Harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <poll.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

using namespace postrel_test;
using namespace std::chrono_literals;

namespace {

const std::string kBoundary = "==========_080815456==_";

// Greets and accepts HELO; returns false when the client did not say HELO as expected.
bool Greet(ScriptedServer::Connection &c, std::string *helo = nullptr)
{
    c.Send("220 test server ready\r\n");
    const std::string line = c.Line();
    if (helo)
        *helo = line;
    c.Send("250 hello\r\n");
    return line.rfind("HELO ", 0) == 0;
}

int Count(const std::string &text, const std::string &what)
{
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

class DialogueTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        EXPECT_EQ(recorder.callbacksInsideExports, 0);
    }

    // Connects to the scripted server and waits until HELO has been accepted.
    void ConnectAndGreet(ScriptedServer &server)
    {
        ASSERT_NE(recorder.Connect("127.0.0.1", server.Port()), 0);
        ASSERT_TRUE(PumpUntil([&] { return recorder.HasSmtp(4, 2, 250); })) << recorder.Dump();
    }

    int32_t Mail(const std::string &sender, const std::string &recipients, const std::string &subject = "Subject",
                 const std::string &body = "Body", const char *attachments = nullptr, const char *encodings = nullptr)
    {
        InExport guard;
        return MailSmtp(recorder.handle, 0, sender.c_str(), recipients.c_str(), 1, 1, subject.c_str(), 1, body.data(),
                        static_cast<int32_t>(body.size()), attachments, encodings);
    }

    Recorder recorder;
};

TEST_F(DialogueTest, ContinuationGreetingAndSplitRepliesGiveOneHelo)
{
    std::string helo;
    int helos = 0;
    ScriptedServer server([&](ScriptedServer::Connection &c) {
        c.Send("220-first line of the greeting\r\n");
        std::this_thread::sleep_for(30ms);
        c.Send("220-second line\r\n2");
        std::this_thread::sleep_for(30ms);
        c.Send("20 last li");
        std::this_thread::sleep_for(30ms);
        c.Send("ne\r");
        std::this_thread::sleep_for(30ms);
        c.Send("\n");
        helo = c.Line();
        c.Send("250 hello\r\n");
        c.WaitClosed();
        helos = Count(c.received, "HELO");
    });
    ConnectAndGreet(server);
    CloseSmtp(recorder.handle, 1);
    server.Join();
    // An address literal: a bare dotted address after HELO is refused by strict servers.
    EXPECT_EQ(helo, "HELO [127.0.0.1]");
    EXPECT_EQ(helos, 1);
    const auto replies = recorder.Of(Event::Smtp);
    ASSERT_GE(replies.size(), 2u);
    EXPECT_EQ(replies[0].status, 4);
    EXPECT_EQ(replies[0].command, 14);
    EXPECT_EQ(replies[0].code, 220);
    EXPECT_EQ(replies[0].text, "220 last line\r\n");
    EXPECT_EQ(replies[1].command, 2);
    const auto connects = recorder.Of(Event::Connect);
    ASSERT_EQ(connects.size(), 1u);
    EXPECT_EQ(connects[0].text.rfind("127.0.0.1:" + std::to_string(server.Port()) + " 127.0.0.1:", 0), 0u);
    EXPECT_TRUE(recorder.Of(Event::Log).empty()); // HELO is never logged
}

TEST_F(DialogueTest, EnvelopeRecipientsAndMessageBytes)
{
    std::vector<std::string> lines;
    std::string data;
    ScriptedServer server([&](ScriptedServer::Connection &c) {
        Greet(c);
        for (int i = 0; i < 4; ++i) {
            lines.push_back(c.Line());
            c.Send("250 ok\r\n");
        }
        lines.push_back(c.Line());
        c.Send("354 go ahead\r\n");
        data = c.Data();
        c.Send("250 queued\r\n");
        lines.push_back(c.Line());
        c.Send("221 bye\r\n");
        c.Close();
    });
    ConnectAndGreet(server);
    const std::string body = "Line one\r\n.starts with a dot\r\n.\r\nend";
    ASSERT_EQ(Mail("me@example.org", "a@example.org, \"Doe, Jane\" <jane@example.org>,b@example.org", "Hi", body), 1);
    ASSERT_TRUE(PumpUntil([&] { return recorder.HasSmtp(1, 0, 250); })) << recorder.Dump();
    ASSERT_EQ(CloseSmtp(recorder.handle, 0), 1);
    ASSERT_TRUE(PumpUntil([&] { return recorder.Closed(); })) << recorder.Dump();
    server.Join();

    const std::vector<std::string> expected = {"mail from: <me@example.org>", "rcpt to: <a@example.org>",
                                               "rcpt to: \"Doe, Jane\" <jane@example.org>", "rcpt to: <b@example.org>",
                                               "data", "QUIT"};
    EXPECT_EQ(lines, expected);
    EXPECT_NE(data.find("\r\nFrom: me@example.org\r\nTo: a@example.org\r\n"
                        "CC: \"Doe, Jane\" <jane@example.org>,b@example.org\r\nSubject: Hi\r\n\r\n"
                        "Line one\r\n..starts with a dot\r\n..\r\nend\r\n\r\n\r\n.\r\n"),
              std::string::npos)
        << data;
    EXPECT_EQ(data.rfind("Date: ", 0), 0u);
    EXPECT_EQ(data.find("MIME-Version"), std::string::npos);

    std::vector<std::string> logs;
    for (const auto &e : recorder.Of(Event::Log))
        logs.push_back(e.text);
    EXPECT_EQ(logs, (std::vector<std::string>{"MAIL", "MAIL", "MAIL", "RCPT", "DATA", "DATA", "QUIT"}));
    EXPECT_TRUE(recorder.HasSmtp(4, 7, 250));
    EXPECT_TRUE(recorder.HasSmtp(4, 0, 354));
    EXPECT_TRUE(recorder.HasSmtp(1, 6, 0)); // 221 is passed with reply code 0
    const Event *e = recorder.LastException();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->code, 13);
    EXPECT_EQ(e->text, "Remote Host Closed");
    EXPECT_EQ(recorder.events.back().kind, Event::Smtp);
    EXPECT_EQ(recorder.events.back().status, 0);
    EXPECT_EQ(StateSmtp(recorder.handle), 1);
}

TEST_F(DialogueTest, SecondMailWhileOneIsInProgressIsRefused)
{
    std::atomic<bool> secondTried{false};
    std::vector<std::string> lines;
    ScriptedServer server([&](ScriptedServer::Connection &c) {
        Greet(c);
        lines.push_back(c.Line()); // the first envelope, held until the second MailSmtp was tried
        while (!secondTried)
            std::this_thread::sleep_for(5ms);
        c.Send("250 ok\r\n");
        lines.push_back(c.Line());
        c.Send("250 ok\r\n");
        lines.push_back(c.Line());
        c.Send("354 go\r\n");
        c.Data();
        c.Send("250 queued\r\n");
        lines.push_back(c.Line());
        c.Send("550 no\r\n");
        c.WaitClosed();
    });
    ConnectAndGreet(server);
    ASSERT_EQ(Mail("me@example.org", "a@example.org"), 1);
    PumpFor(50);
    EXPECT_EQ(Mail("me@example.org", "b@example.org"), 0);
    secondTried = true;
    ASSERT_TRUE(PumpUntil([&] { return recorder.HasSmtp(1, 0, 250); })) << recorder.Dump();
    ASSERT_NE(recorder.LastException(), nullptr);
    EXPECT_EQ(recorder.LastException()->code, 7);
    EXPECT_EQ(recorder.LastException()->text, "A mail is already being sent...mail not sent.");
    // Once the first mail is answered the next one goes out, and after its refusal one more may.
    ASSERT_EQ(Mail("me@example.org", "c@example.org"), 1);
    ASSERT_TRUE(PumpUntil([&] { return recorder.HasSmtp(3, 4, 550); })) << recorder.Dump();
    EXPECT_EQ(Mail("me@example.org", "d@example.org"), 1);
    CloseSmtp(recorder.handle, 1);
    server.Join();
    EXPECT_EQ(lines, (std::vector<std::string>{"mail from: <me@example.org>", "rcpt to: <a@example.org>", "data",
                                                "mail from: <me@example.org>"}));
}

TEST_F(DialogueTest, MultiLineReplyMovesTheDialogueOnce)
{
    std::vector<std::string> lines;
    ScriptedServer server([&](ScriptedServer::Connection &c) {
        Greet(c);
        lines.push_back(c.Line());
        c.Send("250-sender looks fine\r\n250 sender ok\r\n"); // one read, two lines
        lines.push_back(c.Line());
        c.Send("250-recipient\r\n");
        std::this_thread::sleep_for(30ms);
        c.Send("250 ok\r\n"); // two reads
        lines.push_back(c.Line());
        c.Send("421 closing down\r\n");
        lines.push_back(c.Line(300)); // nothing more may come
        c.WaitClosed();
    });
    ConnectAndGreet(server);
    ASSERT_EQ(Mail("me@example.org", "a@example.org"), 1);
    ASSERT_TRUE(PumpUntil([&] { return recorder.HasSmtp(2, 0, 421); })) << recorder.Dump();
    PumpFor(400);
    CloseSmtp(recorder.handle, 1);
    server.Join();
    EXPECT_EQ(lines, (std::vector<std::string>{"mail from: <me@example.org>", "rcpt to: <a@example.org>", "data", ""}));
    int partial = 0;
    for (const auto &e : recorder.Of(Event::Smtp))
        partial += e.code == 250 && e.complete == 0;
    EXPECT_EQ(partial, 2);
}

TEST_F(DialogueTest, FailureRepliesAndOtherCodes)
{
    std::vector<std::string> lines;
    ScriptedServer server([&](ScriptedServer::Connection &c) {
        Greet(c);
        lines.push_back(c.Line());
        c.Send("451 try again later\r\n");
        lines.push_back(c.Line());
        c.Send("250 reset\r\n");
        lines.push_back(c.Line());
        c.Send("550 no such sender\r\n");
        lines.push_back(c.Line());
        c.Send("354 odd\r\n");
        lines.push_back(c.Line());
        c.Send("214-help text\r\n214 end\r\n");
        lines.push_back(c.Line());
        c.Send("502 not here\r\n");
        lines.push_back(c.Line());
        c.Send("250 list\r\n");
        lines.push_back(c.Line());
        c.Send("252 maybe\r\n");
        lines.push_back(c.Line());
        c.Send("250 ok\r\n");
        c.WaitClosed();
    });
    ConnectAndGreet(server);
    ASSERT_EQ(Mail("<me@example.org>", "a@example.org"), 1);
    ASSERT_TRUE(PumpUntil([&] { return recorder.HasSmtp(2, 4, 451); })) << recorder.Dump();
    ASSERT_EQ(ResetSmtp(recorder.handle), 1);
    ASSERT_TRUE(PumpUntil([&] { return recorder.HasSmtp(4, 8, 250); }));
    ASSERT_EQ(Mail("me@example.org", "a@example.org"), 1);
    ASSERT_TRUE(PumpUntil([&] { return recorder.HasSmtp(3, 4, 550); }));
    ASSERT_EQ(NoopSmtp(recorder.handle), 1);
    ASSERT_TRUE(PumpUntil([&] { return recorder.HasSmtp(1, 5, 0); })); // 354 to another command
    ASSERT_EQ(HelpSmtp(recorder.handle, 2), 1);
    ASSERT_TRUE(PumpUntil([&] { return recorder.Of(Event::Smtp).size() >= 8; })) << recorder.Dump();
    ASSERT_EQ(HelpSmtp(recorder.handle, 20), 1);
    ASSERT_TRUE(PumpUntil([&] { return recorder.HasSmtp(3, 3, 502); }));
    ASSERT_EQ(ExpandSmtp(recorder.handle, "staff"), 1);
    ASSERT_TRUE(PumpUntil([&] { return recorder.HasSmtp(1, 1, 250); }));
    EXPECT_EQ(ExpandSmtp(recorder.handle, ""), 0);
    EXPECT_EQ(VerifySmtp(recorder.handle, nullptr), 0);
    EXPECT_EQ(VerifySmtp(recorder.handle, "x\r\nRCPT TO:<victim@example.org>"), 0); // no smuggled command
    ASSERT_EQ(VerifySmtp(recorder.handle, "someone"), 1);
    ASSERT_TRUE(PumpUntil([&] { return recorder.HasSmtp(1, 13, 0); }));
    ASSERT_EQ(TurnSmtp(recorder.handle), 1);
    ASSERT_TRUE(PumpUntil([&] { return recorder.HasSmtp(1, 12, 250); }));
    CloseSmtp(recorder.handle, 1);
    server.Join();
    EXPECT_EQ(lines, (std::vector<std::string>{"mail from: <me@example.org>", "RSET", "mail from: <me@example.org>",
                                               "NOOP", "HELP HELO", "HELP HELP", "EXPN staff", "VRFY someone",
                                               "TURN"}));
    // Both lines of the help reply were reported, each as done with code 0.
    int help = 0;
    for (const auto &e : recorder.Of(Event::Smtp))
        help += e.command == 3 && e.status == 1 && e.code == 0;
    EXPECT_EQ(help, 2);
}

TEST_F(DialogueTest, JunkFloodsAndEndlessLinesDoNotWedgeTheSession)
{
    ScriptedServer server([&](ScriptedServer::Connection &c) {
        Greet(c);
        c.Line();
        c.Send(std::string(200000, 'A')); // far longer than a reply line, no line end yet
        std::this_thread::sleep_for(50ms);
        c.Send("\r\n");
        c.Line();
        c.Send(std::string("\x00\xff\x01garbage\r\n", 12));
        c.Line();
        c.Send("250 still talking\r\n");
        c.WaitClosed();
    });
    ConnectAndGreet(server);
    ASSERT_EQ(NoopSmtp(recorder.handle), 1);
    ASSERT_TRUE(PumpUntil([&] { return recorder.Of(Event::Smtp).size() >= 3; }));
    const auto overlong = recorder.Of(Event::Smtp)[2];
    // A line without a reply code is not a success.
    EXPECT_EQ(overlong.status, 3);
    EXPECT_EQ(overlong.code, 0);
    EXPECT_EQ(overlong.text.size(), 1023u);
    ASSERT_EQ(NoopSmtp(recorder.handle), 1);
    ASSERT_TRUE(PumpUntil([&] { return recorder.Of(Event::Smtp).size() >= 4; }));
    EXPECT_EQ(recorder.Of(Event::Smtp)[3].status, 3);
    ASSERT_EQ(NoopSmtp(recorder.handle), 1);
    ASSERT_TRUE(PumpUntil([&] { return recorder.HasSmtp(1, 5, 250); })) << recorder.Dump();
    CloseSmtp(recorder.handle, 1);
    server.Join();
}

TEST_F(DialogueTest, ServerThatClosesEndsTheSession)
{
    ScriptedServer server([&](ScriptedServer::Connection &c) {
        Greet(c);
        c.Close();
    });
    ConnectAndGreet(server);
    const SmtpHandle h = recorder.handle;
    ASSERT_TRUE(PumpUntil([&] { return recorder.Closed(); }));
    server.Join();
    const Event *e = recorder.LastException();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->code, 13);
    EXPECT_EQ(e->text, "Remote Host Closed");
    // The handle is dead: every export answers 0, the state is Closed.
    EXPECT_EQ(StateSmtp(h), 1);
    EXPECT_EQ(CloseSmtp(h, 0), 0);
    EXPECT_EQ(CloseSmtp(h, 1), 0);
    EXPECT_EQ(MailSmtp(h, 0, "a@b", "c@d", 1, 1, "s", 1, "b", 1, nullptr, nullptr), 0);
    EXPECT_EQ(SendSmtp(h, "x", 1, 22), 0);
    EXPECT_EQ(ResetSmtp(h), 0);
    EXPECT_EQ(NoopSmtp(h), 0);
    EXPECT_EQ(HelpSmtp(h, 1), 0);
    EXPECT_EQ(ExpandSmtp(h, "x"), 0);
    EXPECT_EQ(VerifySmtp(h, "x"), 0);
    EXPECT_EQ(TurnSmtp(h), 0);
    const std::size_t before = recorder.events.size();
    PumpFor(100);
    EXPECT_EQ(recorder.events.size(), before);
}

TEST_F(DialogueTest, SilentServerWaitsUntilAbortWhichResetsTheConnection)
{
    bool closed = false, reset = false;
    std::string received = "unset";
    ScriptedServer server([&](ScriptedServer::Connection &c) {
        closed = c.WaitClosed(5000);
        reset = c.reset;
        received = c.received;
    });
    ASSERT_NE(recorder.Connect("127.0.0.1", server.Port()), 0);
    PumpFor(300);
    EXPECT_EQ(StateSmtp(recorder.handle), 4);
    ASSERT_EQ(recorder.events.size(), 1u); // connected, nothing else: the library never times out
    {
        InExport guard;
        ASSERT_EQ(CloseSmtp(recorder.handle, 1), 1);
    }
    EXPECT_EQ(StateSmtp(recorder.handle), 1);
    EXPECT_FALSE(recorder.Closed()); // reported from the pump, not from inside CloseSmtp
    ASSERT_TRUE(PumpUntil([&] { return recorder.Closed(); }));
    server.Join();
    EXPECT_TRUE(closed);
    EXPECT_TRUE(reset);
    EXPECT_EQ(received, "");
    EXPECT_EQ(recorder.LastException(), nullptr);
}

TEST_F(DialogueTest, CountLimitsAbortTheMail)
{
    int rcpts = 0;
    std::string afterRefusal = "unset";
    ScriptedServer server([&](ScriptedServer::Connection &c) {
        Greet(c);
        c.Line();
        c.Send("250 ok\r\n");
        for (std::string line = c.Line(); line.rfind("rcpt", 0) == 0; line = c.Line()) {
            ++rcpts;
            c.Send("250 ok\r\n");
        }
        c.Send("451 enough\r\n");
        c.WaitClosed();
        afterRefusal = c.received.substr(c.received.find("data\r\n") + 6);
    });
    ConnectAndGreet(server);
    std::string forty;
    for (int i = 0; i < 40; ++i)
        forty += (i ? "," : "") + std::string("r") + std::to_string(i) + "@example.org";
    ASSERT_EQ(Mail("me@example.org", forty), 1);
    ASSERT_TRUE(PumpUntil([&] { return recorder.HasSmtp(2, 0, 451); })) << recorder.Dump();

    // Twenty attachment entries are fine even when none exists: the mail goes out without MIME.
    std::string twenty;
    for (int i = 0; i < 20; ++i)
        twenty += (i ? "," : "") + std::string("/nonexistent/") + std::to_string(i);
    const std::string twentyOne = twenty + ",/nonexistent/20";
    EXPECT_EQ(Mail("me@example.org", "a@example.org", "s", "b", twentyOne.c_str(), "M"), 0);
    EXPECT_EQ(StateSmtp(recorder.handle), 1); // aborted at once
    ASSERT_TRUE(PumpUntil([&] { return recorder.Closed(); }));
    const Event *e = recorder.LastException();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->code, 7);
    EXPECT_EQ(e->text, "Attachments are limited to 20...aborting mail.");
    server.Join();
    EXPECT_EQ(rcpts, 40);
    EXPECT_EQ(afterRefusal, ""); // nothing was sent for the refused mail
}

TEST_F(DialogueTest, FortyFirstRecipientAbortsBeforeAnythingIsSent)
{
    std::string received = "unset";
    ScriptedServer server([&](ScriptedServer::Connection &c) {
        Greet(c);
        c.WaitClosed();
        received = c.received;
    });
    ConnectAndGreet(server);
    std::string list;
    for (int i = 0; i < 41; ++i)
        list += (i ? "," : "") + std::string("r") + std::to_string(i) + "@example.org";
    EXPECT_EQ(Mail("me@example.org", list), 0);
    ASSERT_TRUE(PumpUntil([&] { return recorder.Closed(); }));
    server.Join();
    const auto exceptions = recorder.Of(Event::Exception);
    ASSERT_EQ(exceptions.size(), 1u);
    EXPECT_EQ(exceptions[0].code, 7);
    EXPECT_EQ(exceptions[0].text, "Recipients are limited to 40...aborting mail.");
    EXPECT_EQ(received.find("mail from"), std::string::npos);
}

TEST_F(DialogueTest, CapacityLimitsAndLineBreaksAreRefusedWithoutSending)
{
    std::vector<std::string> lines;
    ScriptedServer server([&](ScriptedServer::Connection &c) {
        Greet(c);
        lines.push_back(c.Line());
        c.Send("250 ok\r\n");
        lines.push_back(c.Line());
        c.Send("250 ok\r\n");
        lines.push_back(c.Line());
        c.Send("354 go\r\n");
        lines.push_back(c.Data());
        c.Send("250 ok\r\n");
        c.WaitClosed();
    });
    ConnectAndGreet(server);
    const std::string path128 = "/" + std::string(127, 'p');
    const std::string longSubject(4000, 's');
    struct Case {
        std::string sender, recipients, subject, attachments, encodings, text;
    } cases[] = {
        {std::string(255, 's'), "a@b.org", "s", "", "", "The sender is limited to 254 characters...mail not sent."},
        {"me@b.org", std::string(64, 'r'), "s", "", "", "A recipient is limited to 63 characters...mail not sent."},
        {"me@b.org", "a@b.org", "s", path128, "M", "An attachment path is limited to 127 characters...mail not sent."},
        {"me@b.org", "a@b.org", "s", "/tmp/x", "MMMMMMMMMM", "An encoding entry is limited to 9 characters...mail not sent."},
        {"me@b.org", "a@b.org", longSubject, "/tmp/x", "", "The header block is limited to 4095 bytes...mail not sent."},
        {"me@b.org\r\nRCPT TO:<x@y>", "a@b.org", "s", "", "", "The sender contains a line break...mail not sent."},
        {"me@b.org", "a@b.org\nx", "s", "", "", "A recipient contains a line break...mail not sent."},
    };
    for (const auto &k : cases) {
        recorder.events.clear();
        EXPECT_EQ(Mail(k.sender, k.recipients, k.subject, "b", k.attachments.c_str(), k.encodings.c_str()), 0) << k.text;
        ASSERT_TRUE(PumpUntil([&] { return recorder.LastException() != nullptr; }));
        EXPECT_EQ(recorder.LastException()->code, 7);
        EXPECT_EQ(recorder.LastException()->text, k.text);
        EXPECT_EQ(StateSmtp(recorder.handle), 4); // the session goes on
    }
    // A subject with line breaks stays one header line.
    ASSERT_EQ(Mail("me@b.org", "a@b.org", "Hi\r\nBcc: victim@example.org", "body"), 1);
    ASSERT_TRUE(PumpUntil([&] { return recorder.HasSmtp(1, 0, 250); })) << recorder.Dump();
    CloseSmtp(recorder.handle, 1);
    server.Join();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "mail from: <me@b.org>"); // nothing of the refused mails reached the server
    EXPECT_NE(lines[3].find("\r\nSubject: Hi  Bcc: victim@example.org\r\n"), std::string::npos) << lines[3];
    EXPECT_EQ(lines[3].find("\r\nBcc:"), std::string::npos);
}

TEST_F(DialogueTest, AttachmentBlocksAreStuffedAndClosedExactly)
{
    const std::string dir = MakeTempDir();
    // Raw attachment of exactly two blocks; the second block starts with a dot line.
    std::string content = std::string(8190, 'a') + "\r\n" + ".x\r\n" + std::string(8192 - 4, 'b');
    ASSERT_EQ(content.size(), 16384u);
    const std::string raw = dir + "/two-blocks.bin";
    WriteFile(raw, content);
    const std::string small = dir + "/small.mov";
    WriteFile(small, "abc");
    const std::string list = raw + ",/nonexistent/skipped.jpg," + small;
    std::string data;
    ScriptedServer server([&](ScriptedServer::Connection &c) {
        Greet(c);
        for (int i = 0; i < 2; ++i) {
            c.Line();
            c.Send("250 ok\r\n");
        }
        c.Line();
        c.Send("354 go\r\n");
        data = c.Data();
        c.Send("250 ok\r\n");
        c.WaitClosed();
    });
    ConnectAndGreet(server);
    ASSERT_EQ(Mail("me@example.org", "a@example.org", "Files", "Body", list.c_str(), "N,M,M"), 1);
    ASSERT_TRUE(PumpUntil([&] { return recorder.HasSmtp(1, 0, 250); })) << recorder.Dump();
    CloseSmtp(recorder.handle, 1);
    server.Join();

    const std::string head = "X-Attachments: " + list + "\r\nMIME-Version: 1.0\r\n"
                             "Content-Type: multipart/mixed; boundary=\"" + kBoundary + "\"\r\n\r\n--" + kBoundary +
                             "\r\nContent-Type: text/plain; charset=\"us-ascii\"\r\n\r\n\r\nBody\r\n\r\n--" + kBoundary + "\r\n";
    EXPECT_NE(data.find(head), std::string::npos) << data.substr(0, 600);
    const std::string part1 = "Content-Type: application/octet-stream; name=\"two-blocks.bin\"\r\n"
                              "Content-Disposition: attachment; filename=\"two-blocks.bin\"\r\n\r\n" +
                              std::string(8190, 'a') + "\r\n..x\r\n" + std::string(8188, 'b') +
                              "\r\n--" + kBoundary + "\r\n"; // an extra block held only the boundary
    EXPECT_NE(data.find(part1), std::string::npos);
    const std::string part2 = "--" + kBoundary + "\r\nContent-Type: video/mov; name=\"small.mov\"\r\n"
                              "Content-Transfer-Encoding: base64\r\n"
                              "Content-Disposition: attachment; filename=\"small.mov\"\r\n\r\n"
                              "YWJj\r\n\r\n--" + kBoundary + "--\r\n\r\n.\r\n";
    EXPECT_EQ(data.substr(data.size() - part2.size()), part2);

    // Progress: " " 0 first, then per packet, 100 at the very end; no log entries for content.
    const auto attach = recorder.Of(Event::Attach);
    ASSERT_GE(attach.size(), 4u);
    EXPECT_EQ(attach.front().text, " ");
    EXPECT_EQ(attach.back().text, small);
    EXPECT_EQ(attach.back().percent, 100);
    EXPECT_TRUE(std::is_sorted(attach.begin(), attach.end(),
                               [](const Event &a, const Event &b) { return a.percent < b.percent; }));
    for (const auto &e : recorder.Of(Event::Log))
        EXPECT_TRUE(e.text == "MAIL" || e.text == "RCPT" || e.text == "DATA") << e.text;
}

TEST_F(DialogueTest, TraceFileRecordsPacketsBothWays)
{
    // The trace file lands in the current folder: run in a folder of the test's own, removed after.
    const std::string dir = MakeTempDir();
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(dir.c_str()), 0);
    WriteFile("NETL0.DBG", "taken");
    ScriptedServer server([&](ScriptedServer::Connection &c) {
        Greet(c);
        c.WaitClosed();
    });
    ASSERT_NE(recorder.Connect("127.0.0.1", server.Port(), 1), 0);
    ASSERT_TRUE(PumpUntil([&] { return recorder.HasSmtp(4, 2, 250); }));
    CloseSmtp(recorder.handle, 1);
    server.Join();
    const std::string taken = ReadFile("NETL0.DBG"), trace = ReadFile("NETL1.DBG");
    for (const char *name : {"NETL0.DBG", "NETL1.DBG"})
        std::remove(name);
    ASSERT_EQ(chdir(previous), 0);
    rmdir(dir.c_str());
    EXPECT_EQ(taken, "taken");
    EXPECT_NE(trace.find("\r\n<--- 220 test server ready\r\n"), std::string::npos) << trace;
    EXPECT_NE(trace.find("\r\n---> HELO [127.0.0.1]\r\n"), std::string::npos) << trace;
    EXPECT_NE(trace.find("\r\n<--- 250 hello\r\n"), std::string::npos) << trace;
}

#if !defined(__SANITIZE_ADDRESS__) // the sanitizer's own reservations defeat an address-space limit
// Runs in a child process: a MailSmtp whose message cannot be allocated must return 0 and report
// "Insufficient Memory" from the pump, and the session must go on. Exits 0 when it does.
void MailUnderAnAddressSpaceLimit()
{
    ScriptedServer server([&](ScriptedServer::Connection &c) {
        Greet(c);
        c.Line();
        c.Send("250 ok\r\n");
        c.WaitClosed();
    });
    Recorder r;
    if (!r.Connect("127.0.0.1", server.Port()) || !PumpUntil([&] { return r.HasSmtp(4, 2, 250); }))
        std::_Exit(2);
    const std::string body(96 << 20, 'x');
    long pages = 0;
    if (std::FILE *statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld", &pages) != 1)
            pages = 0;
        std::fclose(statm);
    }
    rlimit before{};
    getrlimit(RLIMIT_AS, &before);
    rlimit tight = before;
    tight.rlim_cur = static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + (32 << 20);
    if (pages == 0 || setrlimit(RLIMIT_AS, &tight) != 0)
        std::_Exit(3);
    const int32_t queued = MailSmtp(r.handle, 0, "a@example.org", "b@example.org", 1, 1, "S", 1, body.data(),
                                    static_cast<int32_t>(body.size()), nullptr, nullptr);
    setrlimit(RLIMIT_AS, &before);
    if (queued != 0)
        std::_Exit(4);
    if (!PumpUntil([&] { return r.LastException() != nullptr; }) || r.LastException()->code != 7 ||
        r.LastException()->text != "Insufficient Memory")
        std::_Exit(5);
    if (NoopSmtp(r.handle) != 1 || !PumpUntil([&] { return r.HasSmtp(1, 5, 250); }))
        std::_Exit(6);
    CloseSmtp(r.handle, 1);
    std::_Exit(0);
}

TEST(ExportTest, AllocationFailureInsideAnExportReturnsZeroAndIsReported)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(MailUnderAnAddressSpaceLimit(), ::testing::ExitedWithCode(0), "");
}
#endif

// ---- without a server ----

void Ignore(SmtpHandle, intptr_t, int32_t, const char *) {}

TEST(ConnectTest, BadArgumentsAndDeadHandles)
{
    EXPECT_EQ(ConnectSmtp1(0, 0, "127.0.0.1", 25, "", 0, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
    Recorder r;
    {
        InExport guard;
        EXPECT_EQ(r.Connect("", 25), 0);
        EXPECT_EQ(r.Connect("127.0.0.1", 0), 0);
    }
    EXPECT_TRUE(r.events.empty()); // reported from the pump
    ASSERT_TRUE(PumpUntil([&] { return r.Of(Event::Exception).size() == 2; }));
    for (const auto &e : r.Of(Event::Exception)) {
        EXPECT_EQ(e.code, 3);
        EXPECT_EQ(e.text, "No RemoteHost or RemotePort given.");
    }
    EXPECT_EQ(r.callbacksInsideExports, 0);
    for (SmtpHandle h : {SmtpHandle{0}, SmtpHandle{12345678}}) {
        EXPECT_EQ(StateSmtp(h), 1);
        EXPECT_EQ(NoopSmtp(h), 0);
        EXPECT_EQ(CloseSmtp(h, 1), 0);
    }
}

TEST(ConnectTest, RefusedConnectionEndsTheSessionWithCode4)
{
    Recorder r;
    ASSERT_NE(r.Connect("127.0.0.1", ClosedPort()), 0);
    EXPECT_EQ(StateSmtp(r.handle), 2);
    ASSERT_TRUE(PumpUntil([&] { return r.LastException() != nullptr; }));
    EXPECT_EQ(r.LastException()->code, 4);
    EXPECT_EQ(r.LastException()->text, "Connection Refused");
    EXPECT_EQ(StateSmtp(r.handle), 1);
    PumpFor(100);
    EXPECT_FALSE(r.Closed()); // a connect that failed reports no status 0
    EXPECT_EQ(r.callbacksInsideExports, 0);
}

TEST(ConnectTest, UnknownHostGivesCode3)
{
    Recorder r;
    ASSERT_NE(r.Connect("no-such-host.invalid", 25), 0);
    ASSERT_TRUE(PumpUntil([&] { return r.LastException() != nullptr; }, 15000));
    const Event *e = r.LastException();
    EXPECT_EQ(e->code, 3);
    EXPECT_TRUE(e->text == "Authoritative Answer: Host not found" || e->text == "Non-Authoritative: Host not found" ||
                e->text == "Valid name, no data record of requested type")
        << e->text;
    EXPECT_EQ(StateSmtp(r.handle), 1);
}

TEST(EventLoopTest, DescriptorSignalsWorkAndPumpWaitsWhenIdle)
{
    const int fd = SmtpEventFd();
    ASSERT_GE(fd, 0);
    EXPECT_EQ(SmtpEventFd(), fd);
    PumpFor(50); // drain what earlier tests left
    pollfd p{fd, POLLIN, 0};
    EXPECT_EQ(poll(&p, 1, 0), 0);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(PumpSmtp(150), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 140ms);

    // Work started by an export makes the descriptor readable; PumpSmtp(0) then does it.
    EXPECT_EQ(ConnectSmtp(0, 0, "", 25, "", 0, nullptr, nullptr, nullptr, nullptr, Ignore), 0);
    EXPECT_EQ(poll(&p, 1, 0), 1);
    EXPECT_EQ(PumpSmtp(0), 1);
    EXPECT_EQ(poll(&p, 1, 0), 0);
}

int g_nestedPump = 0;
void PumpInside(SmtpHandle, intptr_t, int32_t, const char *) { g_nestedPump = PumpSmtp(0); }

TEST(EventLoopTest, PumpRefusesToRunInsideItsOwnCallback)
{
    EXPECT_EQ(ConnectSmtp1(0, 0, "", 25, "", 0, nullptr, nullptr, nullptr, nullptr, PumpInside), 0);
    ASSERT_TRUE(PumpUntil([&] { return g_nestedPump != 0; }));
    EXPECT_EQ(g_nestedPump, -1);
}

} // namespace
