// The library's one event loop per process: an epoll set that holds the sessions' sockets, c-ares'
// sockets and timer, and an eventfd that is readable while posted notifications wait. The epoll
// descriptor itself is what the host watches (SmtpEventFd); PumpSmtp runs one round of it.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <netinet/in.h>
#include <string>
#include <unordered_map>

struct ares_channeldata;

namespace postrel {

class EventLoop {
public:
    using SocketHandler = std::function<void(std::uint32_t events)>;
    using LookupDone = std::function<void(int aresStatus, in_addr address)>;

    static EventLoop &Instance();

    // The epoll descriptor, or -1 when the loop could not be set up.
    int Fd();

    // Runs `task` from a later pump, after the notifications posted before it.
    void Post(std::function<void()> task);

    // Watches a socket; `token` names the watch, so a handler removed in the meantime is never called.
    bool Watch(int fd, std::uint32_t events, std::uint64_t token, SocketHandler handler);
    void Rewatch(int fd, std::uint32_t events, std::uint64_t token);
    void Unwatch(int fd, std::uint64_t token);

    // Starts an asynchronous IPv4 lookup; `done` may run before this returns (names from the hosts
    // file), so it must only post work, never call out.
    void LookupHost(const std::string &name, LookupDone done);

    // One round: posted notifications first, then socket events, waiting at most timeoutMs for them
    // when nothing was posted. Returns the number handled, -1 on a failure or a nested call.
    int Pump(int timeoutMs);

    std::uint64_t NewToken() { return ++lastToken_; }

private:
    EventLoop() = default;
    bool SetUp();
    bool SetUpResolver();
    void ArmResolverTimer();
    void SignalPosted();
    void ClearPosted();
    static void RunGuarded(const std::function<void()> &work);
    static void OnResolverSocket(void *data, int fd, int readable, int writable);

    int epoll_ = -1;
    int posted_ = -1; // eventfd
    int timer_ = -1;  // timerfd for c-ares' retries
    bool setUpTried_ = false;
    bool pumping_ = false;
    ares_channeldata *resolver_ = nullptr;
    std::deque<std::function<void()>> tasks_;
    std::unordered_map<std::uint64_t, SocketHandler> handlers_;
    std::uint64_t lastToken_ = 16;
};

} // namespace postrel
