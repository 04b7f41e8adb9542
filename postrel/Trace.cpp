#include "Trace.h"

#include <climits>
#include <cstdarg>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace postrel {

Trace::Trace(int debugFlags) : lines_((debugFlags & 1) || (debugFlags & 8)), wantFile_(debugFlags & 1)
{
    const std::string stars(65, '*');
    Line("%s", stars.c_str());
    Line("  postrel SMTP client trace");
    Line("%s", stars.c_str());
}

Trace::~Trace()
{
    if (file_)
        std::fclose(file_);
}

void Trace::Line(const char *format, ...)
{
    if (!lines_)
        return;
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    std::fprintf(stderr, "postrel: %s\n", text);
}

void Trace::OpenFile()
{
    if (!wantFile_ || file_)
        return;
    char name[32];
    for (int n = 0; n < 100; ++n) {
        std::snprintf(name, sizeof name, "NETL%d.DBG", n);
        struct stat st;
        if (::stat(name, &st) != 0 || n == 99)
            break;
    }
    char path[PATH_MAX];
    std::string full = name;
    if (::getcwd(path, sizeof path))
        full = std::string(path) + "/" + name;
    Line("Debug flag SET!");
    file_ = std::fopen(name, "wb");
    if (file_)
        Line("  %s will be filled with debug data", full.c_str());
    else
        Line("  Failed to create debuf file %s", full.c_str());
}

void Trace::Record(const char *arrow, std::string_view bytes, const char *what)
{
    if (!file_)
        return;
    std::fputs(arrow, file_);
    const std::size_t saved = std::fwrite(bytes.data(), 1, bytes.size(), file_);
    std::fflush(file_);
    Line("  %zu bytes %s, %zu bytes saved in debug file", bytes.size(), what, saved);
}

void Trace::Sent(std::string_view bytes) { Record("\r\n---> ", bytes, "sent"); }
void Trace::Received(std::string_view bytes) { Record("\r\n<--- ", bytes, "received"); }

} // namespace postrel
