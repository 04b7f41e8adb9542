#pragma once
// The index pages: the page files alphabetically in two columns under heading letters, each entry
// "name, number"; the first page carries the title "INDEX". The window itself is never shown
// ("Creating Index..."); it builds the index when an album opens and draws and hit-tests index
// pages for the book painter.
#include "pages/SectionPages.h"
#include "core/book/PageEntry.h"
#include "core/pages/IndexList.h"
#include <QFont>
#include <QWidget>
#include <functional>

namespace pagero {

class PageList;

class TIndex_Fm : public QWidget, public SectionPages {
    Q_OBJECT
public:
    explicit TIndex_Fm(QWidget *parent = nullptr);

    // The album's page list (for the full paths of selected entries) and the batch selection; both
    // stay owned by the caller.
    void SetPageList(const PageList *pages) { pages_ = pages; }
    void SetSelection(const QStringList *selection) { selection_ = selection; }

    // Lays the pages out for the content rectangle given by its corners (the left page's).
    void SetIndexArea(const QRect &corners);
    // Builds the index lines from the page list's entries; `progress` gets the album-opening
    // percentages.
    void BuildIndex(const PageEntries &entries, const std::function<void(int)> &progress = {});

    int EntriesPerPage() const { return list_.EntriesPerPage(); }
    int IndexPageCount() const { return list_.PageCount(); }
    // File number of the first entry on index page `page` (0 for page 1 or a page without entries).
    int IndexFirstFile(int page) const { return list_.FirstFileOfPage(page); }
    // 0-based page offset of the entry of file number `fileNumber` (0 when there is none).
    int IndexPageOfFile(int fileNumber) const { return list_.PageOfFile(fileNumber); }
    int FirstLineOfPage(int page) const { return list_.FirstLineOfPage(page); }
    int PageOfLine(int line) const { return list_.PageOfLine(line); }
    const IndexList &List() const { return list_; }

    void DrawIndexPage(QPainter &canvas, int page) const;
    // File number (from 1) of the entry under `pt`, 0 for none; its hit rectangle into `hitRect`.
    int HitTestIndex(QPoint pt, int page, QRect *hitRect = nullptr) const;

    // SectionPages: the same, moved to `contentRect` (a page's content rectangle by its corners).
    void DrawPage(QPainter &painter, const QRect &contentRect, int pageNo) override;
    int HitTest(const QRect &contentRect, int pageNo, QPoint pt, QRect *hotRect, int *subKind) override;

private:
    QPoint OffsetTo(const QRect &contentRect) const;

    IndexList list_;
    QFont listFont_;
    const PageList *pages_ = nullptr;
    const QStringList *selection_ = nullptr;
};

} // namespace pagero
