#pragma once
// Scanners through SANE: the list of sources and one acquisition into a picture. Both block while
// the backends work, so callers run them on a worker thread; calls are serialised, and each one
// starts and ends the SANE library itself, so a scanner plugged in meanwhile (or a changed
// SANE_CONFIG_DIR) is seen at the next call. The source's own settings (mode, resolution, area)
// stay the source's: nothing of the program is passed to it.
#include <QImage>
#include <QList>
#include <QString>
#include <atomic>

namespace pagero::scan {

struct Source {
    QString name;    // SANE device name, as sane_open takes it
    QString label;   // vendor, model and kind, for people
};

struct SourceList {
    QList<Source> sources;
    QString error;   // why the list could not be read (empty when it was)
};
SourceList ListSources();

struct ScanResult {
    QImage image;            // Format_RGB32; null when nothing was acquired
    bool cancelled = false;  // the user stopped it (no error to show)
    QString error;           // why nothing was acquired otherwise
};
// Scans one picture from `source` (empty: the first source found). `cancel` is polled between
// reads; `percent` (when given) follows the transfer, 0..100.
ScanResult Scan(const QString &source, const std::atomic<bool> &cancel, std::atomic<int> *percent = nullptr);

// The largest picture a scan may deliver, in bytes of raw data (larger frames are refused before
// they are read, and frames of unknown height stop growing there).
inline constexpr qint64 kMaxScanBytes = qint64(1) << 30;

} // namespace pagero::scan
