#pragma once
// Page-list entries made from bare names, for tests that only need the names.
#include "core/book/PageEntry.h"
#include <QStringList>

namespace pagero::test {

inline PageEntries EntriesOf(const QStringList &names)
{
    PageEntries out;
    for (const QString &n : names) out.push_back(PageEntry{n});
    return out;
}

} // namespace pagero::test
