// Sends one message with one attachment through libpostrel and prints how long it took, from the
// connect to the server's 250 after the final dot. With SECURITY (1 STARTTLS, 2 TLS from the first
// byte) the session is opened with ConnectSmtpSecure, trusting the certificates of CAFILE.
//   bench_postrel HOST PORT FILE [LETTER [SECURITY CAFILE]]
#include "postrel.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

bool g_helo = false, g_done = false, g_failed = false, g_closed = false;

void OnSmtp(SmtpHandle, intptr_t, int32_t status, int32_t command, int32_t code, const char *reply, int32_t)
{
    if (status == 4 && command == 2)
        g_helo = true;
    else if (status == 1 && command == 0 && code == 250)
        g_done = true;
    else if (status == 0)
        g_closed = true;
    else if (status == 2 || status == 3) {
        std::fprintf(stderr, "server said: %s", reply);
        g_failed = true;
    }
}

void OnException(SmtpHandle, intptr_t, int32_t code, const char *text)
{
    if (code != 13)
        std::fprintf(stderr, "error %d: %s\n", code, text);
    if (!g_done)
        g_failed = true;
}

bool PumpUntil(const bool &flag)
{
    while (!flag && !g_failed)
        if (PumpSmtp(1000) < 0)
            return false;
    return flag;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s HOST PORT FILE [LETTER [SECURITY CAFILE]]\n", argv[0]);
        return 2;
    }
    const std::string letter = argc > 4 ? argv[4] : "M";
    struct stat st;
    if (stat(argv[3], &st) != 0)
        return 2;
    const auto start = std::chrono::steady_clock::now();
    const auto port = static_cast<uint16_t>(std::atoi(argv[2]));
    const int security = argc > 6 ? std::atoi(argv[5]) : 0;
    const SmtpHandle h =
        security ? ConnectSmtpSecure(0, 0, argv[1], port, security, argv[6], nullptr, nullptr, nullptr, OnSmtp, nullptr,
                                     nullptr, OnException)
                 : ConnectSmtp1(0, 0, argv[1], port, "", 0, nullptr, OnSmtp, nullptr, nullptr, OnException);
    if (!h || !PumpUntil(g_helo))
        return 1;
    const char body[] = "The attachment follows.";
    if (!MailSmtp(h, 0, "bench@example.org", "sink@example.org", 1, 1, "Benchmark", 1, body, sizeof body - 1, argv[3],
                  letter.c_str()) ||
        !PumpUntil(g_done))
        return 1;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    CloseSmtp(h, 0);
    PumpUntil(g_closed);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double cpu = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
                       usage.ru_stime.tv_usec / 1e6;
    std::printf("postrel%s: %.0f MB file sent in %.3f s (%.1f MB/s of file), client CPU %.2f s\n",
                security ? " (TLS)" : "", st.st_size / 1e6, seconds, st.st_size / 1e6 / seconds, cpu);
    return 0;
}
