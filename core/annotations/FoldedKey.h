#pragma once
// Hash keys that ignore case without building a folded copy of every name: large albums look up
// thousands of names, and a copy per name costs more than the lookup.
#include <QHashFunctions>
#include <QStringView>

namespace pagero {

// How one UTF-16 unit is folded: to upper case or case-folded.
struct FoldUpper {
    static char16_t Fold(char16_t c) { return c < 128 ? (c >= 'a' && c <= 'z' ? char16_t(c - 32) : c) : QChar::toUpper(c); }
};
struct FoldCase {
    static char16_t Fold(char16_t c) { return c < 128 ? (c >= 'A' && c <= 'Z' ? char16_t(c + 32) : c) : QChar::toCaseFolded(c); }
};

template <typename F>
struct FoldedHash {
    size_t operator()(QStringView s) const noexcept
    {
        size_t h = 14695981039346656037ull;
        for (const QChar c : s) h = (h ^ F::Fold(c.unicode())) * 1099511628211ull;
        return h;
    }
};

template <typename F>
struct FoldedEqual {
    bool operator()(QStringView a, QStringView b) const noexcept
    {
        if (a.size() != b.size()) return false;
        for (qsizetype i = 0; i < a.size(); ++i)
            if (F::Fold(a[i].unicode()) != F::Fold(b[i].unicode())) return false;
        return true;
    }
};

} // namespace pagero
