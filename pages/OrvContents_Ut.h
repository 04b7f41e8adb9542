#pragma once
// The contents pages: every page file in page-list order, one a line, the name at the left, a dot
// leader and the file's number at the right; the first page carries the title "CONTENTS". The
// window itself is never shown ("Creating Contents..."); it keeps the layout for the book's page
// content rectangle and draws and hit-tests contents pages for the book painter.
#include "pages/SectionPages.h"
#include "core/pages/ContentsLayout.h"
#include <QFont>
#include <QStringList>
#include <QWidget>

namespace pagero {

class PageList;

class TContents_Fm : public QWidget, public SectionPages {
    Q_OBJECT
public:
    explicit TContents_Fm(QWidget *parent = nullptr);

    // What the pages show: the album's page list and the batch selection (full paths, compared
    // ignoring case). Both stay owned by the caller and must outlive their use here.
    void SetPageList(const PageList *pages) { pages_ = pages; }
    void SetSelection(const QStringList *selection) { selection_ = selection; }

    // Lays the pages out for the content rectangle given by its corners (left, top) .. (right,
    // bottom); the book passes the left page's content rectangle.
    void SetContentsArea(const QRect &corners);
    int LinesPerPage() const { return layout_.LinesPerPage(); }
    int ContentsPageCount() const;
    int ContentsFirstIndex(int page) const { return layout_.FirstIndex(page); }
    int ContentsPageOffset(int index) const { return layout_.PageOffset(index); }
    const ContentsLayout &Layout() const { return layout_; }

    // Draws contents page `page` (from 1) at the laid-out area.
    void DrawContentsPage(QPainter &canvas, int page) const;
    // Hit: the line's rectangle and the file number (from 1) under `pt`.
    bool HitTestContents(QPoint pt, int page, QRect *lineRect, int *fileNumber) const;

    // SectionPages: the same, moved to `contentRect` (a page's content rectangle by its corners).
    void DrawPage(QPainter &painter, const QRect &contentRect, int pageNo) override;
    int HitTest(const QRect &contentRect, int pageNo, QPoint pt, QRect *hotRect, int *subKind) override;

private:
    int FileCount() const;
    QString NameOf(int index) const;
    QString PathOf(int index) const;
    QPoint OffsetTo(const QRect &contentRect) const;

    ContentsLayout layout_;
    QFont listFont_;
    const PageList *pages_ = nullptr;
    const QStringList *selection_ = nullptr;
};

} // namespace pagero
