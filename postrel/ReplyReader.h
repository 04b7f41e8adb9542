// Puts the server's reply lines together from whatever pieces the network delivers.
//
// A line is kept up to 1,023 characters; the rest of an overlong line is dropped, but its end is
// still found, so a server that sends too much can never wedge the dialogue. Each complete line is
// handed out on its own, so a multi-line reply that arrives in one read is seen line by line.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace postrel {

struct ReplyLine {
    std::string text;      // the line as kept, CRLF included when it fitted
    int code = -1;         // the three-digit reply code, or -1 when the line does not start with one
    char separator = '\0'; // the character after the code (' ' final line, '-' more lines follow)
    bool IsFinal() const { return separator != '-'; }
};

class ReplyReader {
public:
    static constexpr std::size_t kLineCapacity = 1023;

    // Feeds received bytes; calls onLine for every line completed by them. awaitingGreeting makes a
    // line that holds "220 " anywhere count as the final greeting line.
    void Feed(std::string_view bytes, const std::function<bool()> &awaitingGreeting,
              const std::function<void(const ReplyLine &)> &onLine);
    void Clear();
    std::size_t Pending() const { return line_.size(); }

    static ReplyLine Parse(std::string text, bool awaitingGreeting);

private:
    std::string line_;
    bool overflowed_ = false; // the current line was cut; drop bytes until its end
};

} // namespace postrel
