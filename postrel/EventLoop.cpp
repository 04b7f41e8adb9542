#include "EventLoop.h"

#include <ares.h>
#include <cerrno>
#include <memory>
#include <tuple>
#include <type_traits>
#include <netdb.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace postrel {
namespace {

constexpr std::uint64_t kPostedToken = 1;
constexpr std::uint64_t kTimerToken = 2;
constexpr std::uint64_t kResolverFlag = std::uint64_t{1} << 62; // token of a c-ares socket: flag | fd

// The value type that timerfd_settime takes, taken from its signature.
template <typename R, typename... A>
std::tuple<A...> ArgumentsOf(R (*)(A...));
using TimerSetting = std::remove_const_t<
    std::remove_pointer_t<std::tuple_element_t<2, decltype(ArgumentsOf(&timerfd_settime))>>>;

struct PendingLookup {
    EventLoop::LookupDone done;
};

void OnLookupDone(void *arg, int status, int /*timeouts*/, hostent *host)
{
    std::unique_ptr<PendingLookup> lookup(static_cast<PendingLookup *>(arg));
    in_addr address{};
    if (status == ARES_SUCCESS && host && host->h_addrtype == AF_INET && host->h_addr_list &&
        host->h_addr_list[0])
        address = *reinterpret_cast<in_addr *>(host->h_addr_list[0]);
    else if (status == ARES_SUCCESS)
        status = ARES_ENODATA;
    try {
        lookup->done(status, address); // called from inside c-ares: nothing may be thrown through it
    } catch (...) {
    }
}

} // namespace

EventLoop &EventLoop::Instance()
{
    static EventLoop loop;
    return loop;
}

bool EventLoop::SetUp()
{
    if (setUpTried_)
        return epoll_ >= 0;
    setUpTried_ = true;
    epoll_ = epoll_create1(EPOLL_CLOEXEC);
    posted_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    timer_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    epoll_event ev{};
    ev.events = EPOLLIN;
    bool ok = epoll_ >= 0 && posted_ >= 0 && timer_ >= 0;
    ev.data.u64 = kPostedToken;
    ok = ok && epoll_ctl(epoll_, EPOLL_CTL_ADD, posted_, &ev) == 0;
    ev.data.u64 = kTimerToken;
    ok = ok && epoll_ctl(epoll_, EPOLL_CTL_ADD, timer_, &ev) == 0;
    if (!ok) {
        for (int fd : {epoll_, posted_, timer_})
            if (fd >= 0)
                ::close(fd);
        epoll_ = posted_ = timer_ = -1;
    }
    return ok;
}

int EventLoop::Fd() { return SetUp() ? epoll_ : -1; }

void EventLoop::SignalPosted()
{
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(posted_, &one, sizeof one);
}

void EventLoop::ClearPosted()
{
    std::uint64_t value;
    [[maybe_unused]] ssize_t n = ::read(posted_, &value, sizeof value);
}

void EventLoop::Post(std::function<void()> task)
{
    if (!SetUp())
        return;
    if (tasks_.empty())
        SignalPosted();
    tasks_.push_back(std::move(task));
}

bool EventLoop::Watch(int fd, std::uint32_t events, std::uint64_t token, SocketHandler handler)
{
    if (!SetUp())
        return false;
    epoll_event ev{};
    ev.events = events;
    ev.data.u64 = token;
    if (epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &ev) != 0)
        return false;
    handlers_[token] = std::move(handler);
    return true;
}

void EventLoop::Rewatch(int fd, std::uint32_t events, std::uint64_t token)
{
    epoll_event ev{};
    ev.events = events;
    ev.data.u64 = token;
    epoll_ctl(epoll_, EPOLL_CTL_MOD, fd, &ev);
}

void EventLoop::Unwatch(int fd, std::uint64_t token)
{
    if (epoll_ >= 0)
        epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, nullptr);
    handlers_.erase(token);
}

void EventLoop::OnResolverSocket(void *data, int fd, int readable, int writable)
{
    auto *loop = static_cast<EventLoop *>(data);
    const std::uint64_t token = kResolverFlag | static_cast<std::uint64_t>(fd);
    epoll_event ev{};
    ev.events = (readable ? EPOLLIN : 0u) | (writable ? EPOLLOUT : 0u);
    ev.data.u64 = token;
    if (!readable && !writable) {
        epoll_ctl(loop->epoll_, EPOLL_CTL_DEL, fd, nullptr);
    } else if (epoll_ctl(loop->epoll_, EPOLL_CTL_MOD, fd, &ev) != 0) {
        epoll_ctl(loop->epoll_, EPOLL_CTL_ADD, fd, &ev);
    }
}

bool EventLoop::SetUpResolver()
{
    if (resolver_)
        return true;
    static const bool libraryReady = ares_library_init(ARES_LIB_INIT_ALL) == ARES_SUCCESS;
    if (!libraryReady)
        return false;
    ares_options options{};
    options.sock_state_cb = &EventLoop::OnResolverSocket;
    options.sock_state_cb_data = this;
    ares_channel channel = nullptr;
    if (ares_init_options(&channel, &options, ARES_OPT_SOCK_STATE_CB) != ARES_SUCCESS)
        return false;
    resolver_ = channel;
    return true;
}

void EventLoop::ArmResolverTimer()
{
    TimerSetting when{};
    timeval tv{};
    if (resolver_ && ares_timeout(resolver_, nullptr, &tv)) {
        when.it_value.tv_sec = tv.tv_sec;
        when.it_value.tv_nsec = tv.tv_usec * 1000L;
        if (when.it_value.tv_sec == 0 && when.it_value.tv_nsec == 0)
            when.it_value.tv_nsec = 1000000; // zero would disarm the timer
    }
    timerfd_settime(timer_, 0, &when, nullptr);
}

void EventLoop::LookupHost(const std::string &name, LookupDone done)
{
    if (!SetUp() || !SetUpResolver()) {
        done(ARES_ENOMEM, in_addr{});
        return;
    }
    ares_gethostbyname(resolver_, name.c_str(), AF_INET, &OnLookupDone, new PendingLookup{std::move(done)});
    ArmResolverTimer();
}

int EventLoop::Pump(int timeoutMs)
{
    if (pumping_ || !SetUp())
        return -1;
    pumping_ = true;
    struct PumpingEnds {
        bool &flag;
        ~PumpingEnds() { flag = false; }
    } pumpingEnds{pumping_};
    int handled = 0;

    // Notifications posted before this round run first, in order; those they post wait for the next.
    for (std::size_t n = tasks_.size(); n > 0 && !tasks_.empty(); --n) {
        auto task = std::move(tasks_.front());
        tasks_.pop_front();
        RunGuarded(task);
        ++handled;
    }
    if (tasks_.empty())
        ClearPosted();

    epoll_event events[64];
    const int ready = epoll_wait(epoll_, events, 64, tasks_.empty() && handled == 0 ? timeoutMs : 0);
    if (ready < 0 && errno != EINTR)
        return -1;
    for (int i = 0; i < ready; ++i) {
        const std::uint64_t token = events[i].data.u64;
        const std::uint32_t what = events[i].events;
        if (token == kPostedToken)
            continue; // the queue was looked at above
        if (token == kTimerToken || (token & kResolverFlag)) {
            if (token == kTimerToken) {
                std::uint64_t expirations;
                [[maybe_unused]] ssize_t n = ::read(timer_, &expirations, sizeof expirations);
            }
            if (resolver_) {
                const int fd = token == kTimerToken ? ARES_SOCKET_BAD : static_cast<int>(token & ~kResolverFlag);
                ares_process_fd(resolver_, (what & (EPOLLIN | EPOLLERR | EPOLLHUP)) ? fd : ARES_SOCKET_BAD,
                                (what & EPOLLOUT) ? fd : ARES_SOCKET_BAD);
                ArmResolverTimer();
            }
            ++handled;
            continue;
        }
        auto found = handlers_.find(token);
        if (found == handlers_.end())
            continue; // closed earlier in this round
        SocketHandler handler = found->second; // the handler may unwatch itself
        RunGuarded([&] { handler(what); });
        ++handled;
    }
    if (!tasks_.empty())
        SignalPosted();
    return handled;
}

void EventLoop::RunGuarded(const std::function<void()> &work)
{
    // The channels handle their own failures; this only keeps a stray exception (one thrown by a
    // caller's callback, say) from tearing down the pump and the notifications behind it.
    try {
        work();
    } catch (...) {
    }
}

} // namespace postrel
