// The optional trace of a channel. Debug flag bit 0 or bit 3 writes trace lines (to standard error:
// there is no trace window); bit 0 also records every packet sent and every block received in the
// file "NETL<n>.DBG" of the current folder.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace postrel {

class Trace {
public:
    explicit Trace(int debugFlags);
    ~Trace();
    Trace(const Trace &) = delete;
    Trace &operator=(const Trace &) = delete;

    bool Lines() const { return lines_; }
    void Line(const char *format, ...) __attribute__((format(printf, 2, 3)));

    // Opens the packet file when bit 0 asks for it (first free number 0..99; 99 is reused).
    void OpenFile();
    void Sent(std::string_view bytes);
    void Received(std::string_view bytes);

private:
    void Record(const char *arrow, std::string_view bytes, const char *what);

    bool lines_ = false;
    bool wantFile_ = false;
    std::FILE *file_ = nullptr;
};

} // namespace postrel
