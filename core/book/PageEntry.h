#pragma once
// One file of the album as the page list holds it, and the shared, read-only list of them in page
// order that the thumbnail cache and the section windows hold.
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace pagero {

struct PageEntry {
    QString name;        // without the folder
    int kind = 0;        // media kind by extension
    qint64 size = -1;    // bytes; -1 when the file vanished before it could be measured
    int32_t date = -1;   // packed file age; -1 as for the size
};
using PageEntries = std::vector<PageEntry>;
// One build's entries, shared read-only; a new build makes a new vector, so holders keep theirs.
using SharedPageEntries = std::shared_ptr<const PageEntries>;

} // namespace pagero
