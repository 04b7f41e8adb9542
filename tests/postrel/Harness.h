// Test helpers for libpostrel: a recorder behind the five callbacks, pumping with a deadline, a
// scripted SMTP server on a thread, and a real server (aiosmtpd) in a child process.
#pragma once

#include "postrel.h"

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace postrel_test {

struct Event {
    enum Kind { Connect, Smtp, Log, Attach, Exception } kind;
    int status = 0;  // Smtp
    int command = 0; // Smtp
    int code = 0;    // Smtp reply code, Exception code
    std::string text;
    int complete = 0;
    int percent = 0; // Attach
};

// Collects every callback of one session, in order.
class Recorder {
public:
    Recorder() = default;
    Recorder(const Recorder &) = delete;
    Recorder &operator=(const Recorder &) = delete;
    // Opens a session with ConnectSmtpSecure.
    SmtpHandle ConnectSecure(const char *host, uint16_t port, int security, const std::string &caFile,
                             const char *user = nullptr, const char *password = nullptr, int debugFlags = 0);
    // Ends a session still running and waits for its last callback, so none reaches a dead recorder.
    ~Recorder();
    SmtpHandle Connect(const char *host, uint16_t port, int debugFlags = 0);

    std::vector<Event> events;
    SmtpHandle handle = 0;
    int callbacksInsideExports = 0; // callbacks seen while an export was running (must stay 0)
    bool connected = false;         // OnConnect came (kept when a test clears `events`)

    bool Closed() const; // OnSmtp with status 0 arrived
    bool HasSmtp(int status, int command, int code = -1) const;
    const Event *LastException() const;
    std::vector<Event> Of(Event::Kind kind) const;
    std::string Dump() const; // every event, one a line, for failure messages
};

// Pumps until `done` holds or `ms` pass; returns whether it held.
bool PumpUntil(const std::function<bool()> &done, int ms = 5000);
// Pumps for `ms` whatever happens.
void PumpFor(int ms);
// Marks the span of an export call, so that a callback made inside it is noticed.
struct InExport {
    InExport();
    ~InExport();
};

// One-connection SMTP server run by a script on its own thread.
class ScriptedServer {
public:
    class Connection {
    public:
        explicit Connection(int fd) : fd_(fd) {}
        void Send(const std::string &bytes);
        std::string Line(int timeoutMs = 5000); // next CRLF line without the CRLF; "" on EOF/timeout
        std::string Data(int timeoutMs = 10000); // raw bytes up to and including CRLF "." CRLF
        bool WaitClosed(int timeoutMs = 5000);   // true when the client closed or reset
        void Close();
        std::string received; // everything the client sent, in order
        bool reset = false;   // the client reset the connection instead of closing it

    private:
        bool Fill(int timeoutMs);
        int fd_;
        std::string pending_;
    };

    explicit ScriptedServer(std::function<void(Connection &)> script);
    ~ScriptedServer();
    uint16_t Port() const { return port_; }
    void Join();
    std::string Received() const { return received_; }

private:
    int listener_ = -1;
    uint16_t port_ = 0;
    std::thread thread_;
    std::string received_;
};

// aiosmtpd in a child process; every message it receives is parsed with Python's email package and
// written to `outDir` as <n>.json (envelope, headers, parts) plus each decoded part <n>-<i>.bin.
class RealServer {
public:
    // `options` are passed to the server script (TLS, STARTTLS, authentication).
    explicit RealServer(const std::string &outDir, const std::vector<std::string> &options = {});
    ~RealServer();
    uint16_t Port() const { return port_; }
    bool Ok() const { return port_ != 0; }

private:
    int pid_ = -1;
    int stdinFd_ = -1;
    uint16_t port_ = 0;
};

// A certificate authority and certificates signed by it, made with the openssl tool in `dir`:
// ca.pem; server.pem/server.key for localhost and 127.0.0.1; other.pem/other.key for another host
// name; and self.pem/self.key, self-signed for localhost. False when openssl failed.
bool MakeCertificates(const std::string &dir);

std::string ReadFile(const std::string &path);
void WriteFile(const std::string &path, const std::string &bytes);
std::string MakeTempDir();
// A free TCP port on 127.0.0.1 that nothing listens on.
uint16_t ClosedPort();

} // namespace postrel_test
