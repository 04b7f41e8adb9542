#include "Extensions.h"

#include <cctype>

namespace postrel {
namespace {

bool SameWord(std::string_view word, std::string_view expected)
{
    if (word.size() != expected.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(word[i])) != expected[i])
            return false;
    return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The next blank-separated word of `rest`, removed from it.
std::string_view NextWord(std::string_view &rest)
{
    while (!rest.empty() && IsBlank(rest.front()))
        rest.remove_prefix(1);
    std::size_t n = 0;
    while (n < rest.size() && !IsBlank(rest[n]))
        ++n;
    const std::string_view word = rest.substr(0, n);
    rest.remove_prefix(n);
    return word;
}

} // namespace

void EhloParser::Feed(std::string_view line)
{
    const bool first = first_;
    first_ = false;
    if (first || line.size() < 4 || line.substr(0, 3) != "250" || (line[3] != ' ' && line[3] != '-'))
        return;
    std::string_view rest = line.substr(4);
    std::string_view keyword = NextWord(rest);
    // Some older servers write "AUTH=LOGIN PLAIN".
    if (keyword.size() > 5 && SameWord(keyword.substr(0, 5), "AUTH=")) {
        rest = line.substr(static_cast<std::size_t>(keyword.data() - line.data()) + 5);
        keyword = "AUTH";
    }
    if (SameWord(keyword, "STARTTLS")) {
        extensions_.startTls = true;
    } else if (SameWord(keyword, "AUTH")) {
        for (std::string_view mechanism = NextWord(rest); !mechanism.empty(); mechanism = NextWord(rest)) {
            if (SameWord(mechanism, "PLAIN"))
                extensions_.authPlain = true;
            else if (SameWord(mechanism, "LOGIN"))
                extensions_.authLogin = true;
        }
    }
}

} // namespace postrel
