#include "ReplyReader.h"

namespace postrel {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

ReplyLine ReplyReader::Parse(std::string text, bool awaitingGreeting)
{
    ReplyLine line;
    if (awaitingGreeting && text.find("220 ") != std::string::npos) {
        line.code = 220;
        line.separator = ' ';
    } else if (text.size() >= 3 && IsDigit(text[0]) && IsDigit(text[1]) && IsDigit(text[2])) {
        line.code = (text[0] - '0') * 100 + (text[1] - '0') * 10 + (text[2] - '0');
        line.separator = text.size() > 3 ? text[3] : '\0';
    }
    line.text = std::move(text);
    return line;
}

void ReplyReader::Feed(std::string_view bytes, const std::function<bool()> &awaitingGreeting,
                       const std::function<void(const ReplyLine &)> &onLine)
{
    for (char c : bytes) {
        if (!overflowed_) {
            line_.push_back(c);
            const bool ended = c == '\n' && line_.size() >= 2 && line_[line_.size() - 2] == '\r';
            if (ended) {
                onLine(Parse(std::move(line_), awaitingGreeting()));
                line_.clear();
            } else if (line_.size() >= kLineCapacity) {
                overflowed_ = true;
            }
        } else if (c == '\n') {
            // The end of an overlong line: hand out what was kept.
            overflowed_ = false;
            onLine(Parse(std::move(line_), awaitingGreeting()));
            line_.clear();
        }
    }
}

void ReplyReader::Clear()
{
    line_.clear();
    overflowed_ = false;
}

} // namespace postrel
