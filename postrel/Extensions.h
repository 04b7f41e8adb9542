// What a server offers in its reply to EHLO: the extensions this library uses (STARTTLS and the
// AUTH mechanisms PLAIN and LOGIN). Fed one reply line at a time, as the lines arrive.
#pragma once

#include <string_view>

namespace postrel {

struct EhloExtensions {
    bool startTls = false;
    bool authPlain = false;
    bool authLogin = false;
};

class EhloParser {
public:
    // Takes one line of the reply ("250-STARTTLS" CRLF ...). The first line names the server and
    // carries no extension; lines without a 250 code carry none either.
    void Feed(std::string_view line);
    const EhloExtensions &Extensions() const { return extensions_; }
    void Reset() { *this = EhloParser(); }

private:
    EhloExtensions extensions_;
    bool first_ = true;
};

} // namespace postrel
