// File ages as packed DOS date-times in local time, the form the page list and the stored caches keep.
#include "core/common/MyLib.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <ctime>

namespace pagero {

namespace {

int32_t Pack(int year, int month, int day, int hour, int minute, int second)
{
    // The packed form covers 1980 .. 2107; other times have no age, as a missing file.
    if (year < 1980 || year > 2107) return -1;
    const uint32_t date = (uint32_t(year - 1980) << 9) | (uint32_t(month) << 5) | uint32_t(day);
    const uint32_t time = (uint32_t(hour) << 11) | (uint32_t(minute) << 5) | uint32_t(second / 2);
    return static_cast<int32_t>((date << 16) | time);
}

} // namespace

int32_t PackDosDateTime(const QDateTime &localTime)
{
    if (!localTime.isValid()) return -1;
    const QDate d = localTime.date();
    const QTime t = localTime.time();
    return Pack(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second());
}

int32_t PackDosDateTimeOfEpoch(qint64 secondsSinceEpoch)
{
    const time_t when = static_cast<time_t>(secondsSinceEpoch);
    struct tm local {};
    if (!localtime_r(&when, &local)) return -1;
    // A leap second (60) packs as 59 would: 30 two-second steps would overflow the field.
    return Pack(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                std::min(local.tm_sec, 59));
}

int32_t FileAgeOf(const QFileInfo &info)
{
    if (!info.isFile()) return -1;
    const QDateTime modified = info.lastModified();
    if (!modified.isValid()) return -1;
    return PackDosDateTimeOfEpoch(modified.toSecsSinceEpoch());
}

int32_t FileAge(const QString &path)
{
    return FileAgeOf(QFileInfo(path));
}

QDateTime FileDateTimeOf(const QString &path)
{
    const QFileInfo fi(path);
    if (!fi.exists()) return QDateTime();
    return fi.lastModified().toLocalTime();
}

bool SetFileTime(const QString &path, const QDateTime &lastWrite)
{
    if (!lastWrite.isValid()) return false;
    QFile file(path);
    // Opening for writing would fail on a read-only file; appending changes nothing in it.
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append) && !file.open(QIODevice::ReadOnly)) return false;
    return file.setFileTime(lastWrite, QFileDevice::FileModificationTime);
}

} // namespace pagero
