#pragma once
// File names in the order people read them: the locale's collation, ignoring case, accented
// letters beside their base letters ("Ähre", "apple", "École", "zoo"), digits compared one by one
// ("10" before "2"). Names that the collation calls equal ("a.jpg", "A.jpg") fall back to the
// order of their character codes, so the result never depends on the order of the input.
//
// A POSIX "C" locale has no rules for letters beyond ASCII; there the English (root) collation
// stands in, so an album sorts the same under a bare terminal as on the desktop.
#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <QString>

namespace pagero {

class NameCollation {
public:
    NameCollation();                                 // the current default locale
    explicit NameCollation(const QLocale &locale);

    // <0, 0 or >0 by the collation alone (0 for names equal but for case).
    int Compare(const QString &a, const QString &b) const;
    // Strict order: the collation, then character codes.
    bool Less(const QString &a, const QString &b) const;
    // A key whose comparison equals Compare(); for sorting many names.
    QCollatorSortKey SortKey(const QString &name) const { return collator_.sortKey(name); }

private:
    QCollator collator_;
};

} // namespace pagero
