#include "core/common/Collation.h"

namespace pagero {

namespace {

QLocale CollationLocale(const QLocale &locale)
{
    if (locale.language() == QLocale::C) return QLocale(QLocale::English);
    return locale;
}

} // namespace

NameCollation::NameCollation() : NameCollation(QLocale()) {}

NameCollation::NameCollation(const QLocale &locale) : collator_(CollationLocale(locale))
{
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
    collator_.setNumericMode(false);
    collator_.setIgnorePunctuation(false);
}

int NameCollation::Compare(const QString &a, const QString &b) const
{
    return collator_.compare(a, b);
}

bool NameCollation::Less(const QString &a, const QString &b) const
{
    const int c = collator_.compare(a, b);
    if (c != 0) return c < 0;
    return a < b;
}

} // namespace pagero
