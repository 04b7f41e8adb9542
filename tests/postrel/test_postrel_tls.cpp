// Mail over TLS and with a login, against aiosmtpd with certificates made by the test: STARTTLS,
// TLS from the first byte, AUTH PLAIN and LOGIN, and every way the session must refuse to go on.
#include "Harness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace postrel_test;

namespace {

constexpr const char *kUser = "jane";
constexpr const char *kPassword = "s3cret-Pa55word";

// Runs its scope in a folder of its own with standard error sent to a file, so that the trace file
// and the trace lines can be searched afterwards.
class TraceCapture {
public:
    TraceCapture() : dir_(MakeTempDir())
    {
        getcwd(previous_, sizeof previous_);
        chdir(dir_.c_str());
        std::fflush(stderr);
        savedErr_ = dup(2);
        const int fd = open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(fd, 2);
        close(fd);
    }
    // Everything written: the trace lines and every trace file.
    std::string Finish()
    {
        std::fflush(stderr);
        dup2(savedErr_, 2);
        close(savedErr_);
        std::string all = ReadFile("stderr.txt");
        for (int n = 0; n < 3; ++n)
            all += ReadFile("NETL" + std::to_string(n) + ".DBG");
        std::system(("rm -rf '" + dir_ + "'").c_str());
        chdir(previous_);
        return all;
    }

private:
    std::string dir_;
    char previous_[4096] = "";
    int savedErr_ = -1;
};

class TlsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        certs = MakeTempDir();
        ASSERT_TRUE(MakeCertificates(certs)) << "openssl could not make the test certificates";
    }
    static void TearDownTestSuite() { std::system(("rm -rf '" + certs + "'").c_str()); }

    void StartServer(const std::string &cert, std::vector<std::string> options)
    {
        outDir = MakeTempDir();
        if (!cert.empty())
            options.insert(options.begin(), {"--cert", certs + "/" + cert + ".pem", "--key", certs + "/" + cert + ".key"});
        server = std::make_unique<RealServer>(outDir, options);
        ASSERT_TRUE(server->Ok()) << "aiosmtpd did not start";
    }

    bool MessageArrived() const
    {
        struct stat st;
        return stat((outDir + "/0.txt").c_str(), &st) == 0;
    }

    int ReadyReports() const
    {
        int n = 0;
        for (const auto &e : recorder.Of(Event::Smtp))
            n += e.status == 4 && e.command == 2 && e.code == 250;
        return n;
    }

    static inline std::string certs;
    std::string outDir;
    std::unique_ptr<RealServer> server;
    Recorder recorder;
};

struct Delivery {
    const char *name;
    std::vector<std::string> serverOptions;
    int security;
    bool login;
};

class TlsDeliveryTest : public TlsTest, public ::testing::WithParamInterface<Delivery> {};

TEST_P(TlsDeliveryTest, MessageArrivesAndThePasswordIsNeverTraced)
{
    const Delivery &d = GetParam();
    StartServer("server", d.serverOptions);
    const std::string attachment = outDir + "/note.txt";
    WriteFile(attachment, "attached over TLS\r\n.dot line\r\n");
    TraceCapture capture;
    ASSERT_NE(recorder.ConnectSecure("localhost", server->Port(), d.security, certs + "/ca.pem",
                                     d.login ? kUser : nullptr, d.login ? kPassword : nullptr, 1),
              0);
    const bool ready = PumpUntil([&] { return ReadyReports() > 0 || recorder.LastException(); }, 10000);
    int32_t queued = 0;
    if (ready && !recorder.LastException())
        queued = MailSmtp(recorder.handle, 0, "me@example.org", "you@example.org", 1, 1, "Secure", 1, "Body", 4,
                          attachment.c_str(), "M");
    const bool sent = queued && PumpUntil([&] { return recorder.HasSmtp(1, 0, 250) || recorder.LastException(); }, 10000);
    CloseSmtp(recorder.handle, 0);
    PumpUntil([&] { return recorder.Closed(); });
    const std::string trace = capture.Finish();

    ASSERT_TRUE(sent) << recorder.Dump();
    EXPECT_EQ(recorder.LastException()->code, 13) << recorder.Dump(); // only the server's goodbye
    EXPECT_EQ(ReadyReports(), 1) << recorder.Dump();
    EXPECT_EQ(recorder.callbacksInsideExports, 0);
    EXPECT_EQ(ReadFile(outDir + "/0-1.bin"), "attached over TLS\r\n.dot line\r\n");
    EXPECT_NE(trace.find("TLS established"), std::string::npos) << trace;
    // Neither the password nor the base64 that carries it may appear anywhere.
    EXPECT_EQ(trace.find(kPassword), std::string::npos);
    EXPECT_EQ(trace.find("czNjcmV0LVBhNTV3b3Jk"), std::string::npos);       // LOGIN
    EXPECT_EQ(trace.find("AGphbmUAczNjcmV0LVBhNTV3b3Jk"), std::string::npos); // PLAIN
}

INSTANTIATE_TEST_SUITE_P(
    Ways, TlsDeliveryTest,
    ::testing::Values(Delivery{"StartTlsPlainLogin", {"--starttls", "--auth", "jane:s3cret-Pa55word"}, 1, true},
                      Delivery{"ImplicitTlsLoginOnly", {"--implicit", "--auth", "jane:s3cret-Pa55word", "--login-only"}, 2, true},
                      Delivery{"ImplicitTlsNoLogin", {"--implicit"}, 2, false}),
    [](const auto &info) { return std::string(info.param.name); });

struct Refusal {
    const char *name;
    const char *cert; // "" for a server without TLS
    std::vector<std::string> serverOptions;
    const char *host;
    int security;
    const char *password;
    int code;
    const char *textStart;
};

class TlsRefusalTest : public TlsTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(TlsRefusalTest, SessionEndsBeforeAnyMessage)
{
    const Refusal &r = GetParam();
    StartServer(r.cert, r.serverOptions);
    TraceCapture capture;
    ASSERT_NE(recorder.ConnectSecure(r.host, server->Port(), r.security, certs + "/ca.pem", r.password ? kUser : nullptr,
                                     r.password, 1),
              0);
    const bool closed = PumpUntil([&] { return recorder.Closed(); }, 10000);
    const std::string trace = capture.Finish();

    ASSERT_TRUE(closed) << recorder.Dump() << trace;
    const Event *e = recorder.LastException();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->code, r.code) << e->text;
    EXPECT_EQ(e->text.rfind(r.textStart, 0), 0u) << e->text;
    EXPECT_EQ(ReadyReports(), 0);
    EXPECT_FALSE(MessageArrived());
    if (r.password) {
        EXPECT_EQ(trace.find(r.password), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Failures, TlsRefusalTest,
    ::testing::Values(
        Refusal{"WrongHostName", "other", {"--implicit"}, "localhost", 2, nullptr, 22, "Certificate not trusted: "},
        Refusal{"UntrustedSelfSigned", "self", {"--starttls"}, "localhost", 1, nullptr, 22, "Certificate not trusted: "},
        Refusal{"NoStartTls", "", {}, "127.0.0.1", 1, nullptr, 20, "TLS not offered by the server"},
        Refusal{"WrongPassword", "server", {"--starttls", "--auth", "jane:s3cret-Pa55word"}, "127.0.0.1", 1,
                "wrong-Pa55word", 23, "Authentication refused: 535"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(TlsStallTest, ServerStallingInTheHandshakeNeverBlocksThePump)
{
    ScriptedServer server([](ScriptedServer::Connection &c) { c.WaitClosed(10000); }); // reads the hello, says nothing
    Recorder r;
    ASSERT_NE(r.ConnectSecure("127.0.0.1", server.Port(), 2, ""), 0);
    ASSERT_TRUE(PumpUntil([&] { return r.connected; }));
    auto slowest = std::chrono::steady_clock::duration::zero();
    for (int i = 0; i < 20; ++i) {
        const auto start = std::chrono::steady_clock::now();
        PumpSmtp(0);
        slowest = std::max(slowest, std::chrono::steady_clock::now() - start);
        usleep(10000);
    }
    EXPECT_LT(slowest, std::chrono::milliseconds(500)); // a blocking handshake would wait for the server: 10 s
    EXPECT_EQ(StateSmtp(r.handle), 4);
    EXPECT_EQ(r.LastException(), nullptr) << r.Dump();
    // No envelope before TLS is up.
    EXPECT_EQ(MailSmtp(r.handle, 0, "a@example.org", "b@example.org", 0, 0, "", 0, "x", 1, nullptr, nullptr), 0);
    ASSERT_TRUE(PumpUntil([&] { return r.LastException() != nullptr; }));
    EXPECT_EQ(r.LastException()->code, 7);
    EXPECT_EQ(CloseSmtp(r.handle, 1), 1);
    EXPECT_TRUE(PumpUntil([&] { return r.Closed(); }));
    server.Join();
    ASSERT_FALSE(server.Received().empty());
    EXPECT_EQ(server.Received()[0], '\x16'); // the handshake had begun: a TLS hello came
}

} // namespace
