#include "Harness.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#ifndef POSTREL_TEST_DIR
#define POSTREL_TEST_DIR "."
#endif

namespace postrel_test {
namespace {

int g_exportDepth = 0;

Recorder &Of(intptr_t user) { return *reinterpret_cast<Recorder *>(user); }

void Note(Recorder &r)
{
    if (g_exportDepth > 0)
        ++r.callbacksInsideExports;
}

void OnConnect(SmtpHandle, intptr_t user, const char *remote, uint16_t port, const char *local, uint16_t lport,
               const char *name)
{
    Note(Of(user));
    Of(user).connected = true;
    Event e{Event::Connect, 0, 0, 0, {}, 0, 0};
    e.text = std::string(remote) + ":" + std::to_string(port) + " " + local + ":" + std::to_string(lport) + " " + name;
    Of(user).events.push_back(e);
}

void OnSmtp(SmtpHandle, intptr_t user, int32_t status, int32_t command, int32_t code, const char *reply,
            int32_t complete)
{
    Note(Of(user));
    Event e{Event::Smtp, 0, 0, 0, {}, 0, 0};
    e.status = status;
    e.command = command;
    e.code = code;
    e.text = reply ? reply : "";
    e.complete = complete;
    Of(user).events.push_back(e);
}

void OnLog(SmtpHandle, intptr_t user, const char *command)
{
    Note(Of(user));
    Event e{Event::Log, 0, 0, 0, {}, 0, 0};
    e.text = command;
    Of(user).events.push_back(e);
}

void OnAttach(SmtpHandle, intptr_t user, const char *path, int32_t percent)
{
    Note(Of(user));
    Event e{Event::Attach, 0, 0, 0, {}, 0, 0};
    e.text = path;
    e.percent = percent;
    Of(user).events.push_back(e);
}

void OnException(SmtpHandle, intptr_t user, int32_t code, const char *text)
{
    Note(Of(user));
    Event e{Event::Exception, 0, 0, 0, {}, 0, 0};
    e.code = code;
    e.text = text;
    Of(user).events.push_back(e);
}

} // namespace

InExport::InExport() { ++g_exportDepth; }
InExport::~InExport() { --g_exportDepth; }

SmtpHandle Recorder::Connect(const char *host, uint16_t port, int debugFlags)
{
    InExport guard;
    if (const char *trace = std::getenv("POSTREL_TEST_TRACE"))
        debugFlags |= std::atoi(trace);
    handle = ConnectSmtp1(reinterpret_cast<intptr_t>(this), debugFlags, host, port, "", 0, OnConnect, OnSmtp, OnLog,
                          OnAttach, OnException);
    return handle;
}

SmtpHandle Recorder::ConnectSecure(const char *host, uint16_t port, int security, const std::string &caFile,
                                   const char *user, const char *password, int debugFlags)
{
    InExport guard;
    handle = ConnectSmtpSecure(reinterpret_cast<intptr_t>(this), debugFlags, host, port, security, caFile.c_str(), user,
                               password, OnConnect, OnSmtp, OnLog, OnAttach, OnException);
    return handle;
}

Recorder::~Recorder()
{
    if (!handle || Closed())
        return;
    if (StateSmtp(handle) != 1)
        CloseSmtp(handle, 1);
    if (connected) // a session that never connected ends without status 0
        PumpUntil([&] { return Closed(); }, 1000);
}

bool Recorder::Closed() const { return HasSmtp(0, -1); }

bool Recorder::HasSmtp(int status, int command, int code) const
{
    for (const auto &e : events)
        if (e.kind == Event::Smtp && e.status == status && (command < 0 || e.command == command) &&
            (code < 0 || e.code == code))
            return true;
    return false;
}

const Event *Recorder::LastException() const
{
    for (auto it = events.rbegin(); it != events.rend(); ++it)
        if (it->kind == Event::Exception)
            return &*it;
    return nullptr;
}

std::vector<Event> Recorder::Of(Event::Kind kind) const
{
    std::vector<Event> out;
    for (const auto &e : events)
        if (e.kind == kind)
            out.push_back(e);
    return out;
}

std::string Recorder::Dump() const
{
    static const char *kKinds[] = {"connect", "smtp", "log", "attach", "exception"};
    std::string out;
    for (const auto &e : events)
        out += std::string(kKinds[e.kind]) + " status=" + std::to_string(e.status) + " cmd=" + std::to_string(e.command) +
               " code=" + std::to_string(e.code) + " pct=" + std::to_string(e.percent) + " " + e.text + "\n";
    return out;
}

bool PumpUntil(const std::function<bool()> &done, int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        if (PumpSmtp(20) < 0)
            return false;
    }
    return true;
}

void PumpFor(int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end)
        PumpSmtp(10);
}

// ---- scripted server ----

bool ScriptedServer::Connection::Fill(int timeoutMs)
{
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) <= 0)
        return false;
    char buffer[65536];
    const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
    if (n <= 0)
        return false;
    pending_.append(buffer, static_cast<std::size_t>(n));
    received.append(buffer, static_cast<std::size_t>(n));
    return true;
}

void ScriptedServer::Connection::Send(const std::string &bytes)
{
    ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

std::string ScriptedServer::Connection::Line(int timeoutMs)
{
    for (;;) {
        const auto end = pending_.find("\r\n");
        if (end != std::string::npos) {
            std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 2);
            return line;
        }
        if (!Fill(timeoutMs))
            return {};
    }
}

std::string ScriptedServer::Connection::Data(int timeoutMs)
{
    for (;;) {
        const auto end = pending_.find("\r\n.\r\n");
        if (end != std::string::npos) {
            std::string data = pending_.substr(0, end + 5);
            pending_.erase(0, end + 5);
            return data;
        }
        if (!Fill(timeoutMs))
            return {};
    }
}

bool ScriptedServer::Connection::WaitClosed(int timeoutMs)
{
    for (;;) {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, timeoutMs) <= 0)
            return false; // still open when the time ran out
        char buffer[65536];
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        if (n < 0 && errno == ECONNRESET)
            reset = true;
        if (n <= 0)
            return true;
        received.append(buffer, static_cast<std::size_t>(n));
    }
}

void ScriptedServer::Connection::Close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

ScriptedServer::ScriptedServer(std::function<void(Connection &)> script)
{
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr *>(&address), sizeof address);
    ::listen(listener_, 1);
    socklen_t length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr *>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this, script = std::move(script)] {
        pollfd p{listener_, POLLIN, 0};
        if (poll(&p, 1, 10000) <= 0)
            return;
        const int fd = ::accept(listener_, nullptr, nullptr);
        if (fd < 0)
            return;
        Connection connection(fd);
        script(connection);
        connection.Close();
        received_ = connection.received;
    });
}

void ScriptedServer::Join()
{
    if (thread_.joinable())
        thread_.join();
}

ScriptedServer::~ScriptedServer()
{
    Join();
    ::close(listener_);
}

// ---- real server ----

RealServer::RealServer(const std::string &outDir, const std::vector<std::string> &options)
{
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0)
        return;
    pid_ = fork();
    if (pid_ == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        const std::string script = std::string(POSTREL_TEST_DIR) + "/aiosmtpd_server.py";
        std::vector<const char *> argv{"python3", script.c_str(), outDir.c_str()};
        for (const auto &option : options)
            argv.push_back(option.c_str());
        argv.push_back(nullptr);
        execv("/usr/bin/python3", const_cast<char *const *>(argv.data()));
        _exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    stdinFd_ = in[1];
    std::string line;
    char c;
    pollfd p{out[0], POLLIN, 0};
    while (poll(&p, 1, 15000) > 0 && ::read(out[0], &c, 1) == 1 && c != '\n')
        line.push_back(c);
    ::close(out[0]);
    port_ = static_cast<uint16_t>(std::atoi(line.c_str()));
}

RealServer::~RealServer()
{
    if (stdinFd_ >= 0)
        ::close(stdinFd_); // the server stops when its standard input ends
    if (pid_ > 0) {
        for (int i = 0; i < 100; ++i) {
            if (waitpid(pid_, nullptr, WNOHANG) == pid_)
                return;
            usleep(50000);
        }
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

// ---- certificates ----

bool MakeCertificates(const std::string &dir)
{
    const std::string quiet = " >/dev/null 2>&1";
    auto run = [&](const std::string &command) { return std::system(("cd '" + dir + "' && " + command + quiet).c_str()) == 0; };
    auto key = [&](const std::string &name) {
        return run("openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out " + name + ".key");
    };
    auto signedBy = [&](const std::string &name, const std::string &subjectAltName) {
        return key(name) && run("openssl req -new -key " + name + ".key -subj /CN=" + name + " -out " + name + ".csr") &&
               (WriteFile(dir + "/" + name + ".ext", "subjectAltName=" + subjectAltName + "\n"), true) &&
               run("openssl x509 -req -in " + name + ".csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 -out " +
                   name + ".pem -extfile " + name + ".ext");
    };
    return key("ca") &&
           run("openssl req -x509 -new -key ca.key -subj '/CN=postrel test CA' -days 2 -out ca.pem "
               "-addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign") &&
           signedBy("server", "DNS:localhost,IP:127.0.0.1") && signedBy("other", "DNS:mail.other.test") && key("self") &&
           run("openssl req -x509 -new -key self.key -subj /CN=localhost -days 2 -out self.pem "
               "-addext subjectAltName=DNS:localhost,IP:127.0.0.1");
}

// ---- files ----

std::string ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string MakeTempDir()
{
    char pattern[] = "/tmp/postrel-test-XXXXXX";
    const char *dir = mkdtemp(pattern);
    return dir ? dir : "/tmp";
}

uint16_t ClosedPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

} // namespace postrel_test
