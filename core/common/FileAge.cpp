// File ages as packed DOS date-times in local time, the form the page list and the stored caches keep.
#include "core/common/MyLib.h"

#include <QDateTime>
#include <QFileInfo>

namespace pagero {

int32_t PackDosDateTime(const QDateTime &localTime)
{
    if (!localTime.isValid()) return -1;
    const QDate d = localTime.date();
    const QTime t = localTime.time();
    // The packed form covers 1980 .. 2107; other times have no age, as a missing file.
    if (d.year() < 1980 || d.year() > 2107) return -1;
    const uint32_t date = (uint32_t(d.year() - 1980) << 9) | (uint32_t(d.month()) << 5) | uint32_t(d.day());
    const uint32_t time = (uint32_t(t.hour()) << 11) | (uint32_t(t.minute()) << 5) | uint32_t(t.second() / 2);
    return static_cast<int32_t>((date << 16) | time);
}

int32_t FileAgeOf(const QFileInfo &info)
{
    if (!info.isFile()) return -1;
    return PackDosDateTime(info.lastModified().toLocalTime());
}

int32_t FileAge(const QString &path)
{
    return FileAgeOf(QFileInfo(path));
}

} // namespace pagero
