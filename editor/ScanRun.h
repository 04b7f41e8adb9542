#pragma once
// The editor's scanner windows: the source list to choose from, and one scan that runs on a worker
// thread behind a progress window whose Cancel stops it.
#include "platform/scan/Scanner.h"

#include <QDialog>
#include <functional>

class QListWidget;

namespace pagero::editor {

// "Select Source": the scanners SANE offers.
class TSelectSourceDlg : public QDialog {
public:
    TSelectSourceDlg(const QList<scan::Source> &sources, const QString &current, QWidget *parent);
    QString Chosen() const;
    QListWidget *List;
};

// Reads the source list on a worker; `done` runs on the GUI thread unless `owner` went first.
void ListScanSources(QObject *owner, std::function<void(scan::SourceList)> done);

// Scans from `source` (empty: the first one) on a worker while a window-modal progress window
// shows; its "&Cancel" (or Escape) stops the scan. `done` gets the result on the GUI thread.
void RunScan(QWidget *owner, const QString &source, std::function<void(scan::ScanResult)> done);

} // namespace pagero::editor
