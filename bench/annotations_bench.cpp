// Opening an album of 10,000 files with 1,000 bookmarks and 10,000 page comments, against opening
// it without them: the page list is built either way; with them, the bookmark register and the
// album's bookmark file are read, the bookmarks mapped to pages and their tabs laid out, and the
// album name and the comment store read and indexed. The
// window-free part of opening an album is the page list, so the ratio printed is a strict bound on
// what the stores add to a whole opening; it must stay at most 1.3.
//
// CPU times, best of 15 alternating runs (see pagelist_bench.cpp for why).
#include "core/annotations/AlbumFolderFiles.h"
#include "core/annotations/BookmarkFile.h"
#include "core/annotations/BookmarkMapping.h"
#include "core/annotations/BookmarkRegister.h"
#include "core/annotations/BookmarkTabs.h"
#include "core/annotations/FileNameIndex.h"
#include "core/book/BookLayout.h"
#include "core/book/PageList.h"
#include "core/common/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace pagero;

namespace {

constexpr int kFiles = 10000, kBookmarks = 1000;

double CpuMs() { return double(std::clock()) * 1000.0 / CLOCKS_PER_SEC; }

QString NameOf(int i) { return QStringLiteral("Photo_%1.jpg").arg(i, 6, 10, QLatin1Char('0')); }

void Fill(const QString &album, const QString &bookmarkDir)
{
    for (int i = 0; i < kFiles; ++i) {
        QFile f(album + QLatin1Char('/') + NameOf((i * 7919) % kFiles));
        if (!f.open(QIODevice::WriteOnly)) std::exit(1);
    }
    // A register of 200 other albums before this one.
    QStringList lines;
    for (int i = 0; i < 200; ++i) lines << QStringLiteral("/gone/a%1").arg(i) << QStringLiteral("~bma%1.~bm").arg(i);
    QByteArray reg;
    for (const QString &l : lines) reg += l.toUtf8() + "\r\n";
    QDir().mkpath(bookmarkDir);
    WriteFileAtomically(bookmarkDir + "/~bmAllFiles.~bm", reg);
    BookmarkTable table(kBookmarks);
    for (int i = 0; i < kBookmarks; ++i) {
        table[i].Section = i % 5 == 0 ? Overview : Context;
        table[i].FileIndex = i * 10;
        table[i].FileName = NameOf(i * 10);
    }
    WriteBookmarkFile(BookmarkRegister(bookmarkDir).BookmarkFileFor(album), table);
    CommentStore store;
    PageComment c;
    c.x = 40;
    c.y = 50;
    for (int i = 0; i < kFiles; ++i) {
        c.lines = {QStringLiteral("Comment on %1").arg(i), QStringLiteral("with a second line")};
        store.WriteComment(NameOf(i), 800, 600, c);
    }
    WriteFileAtomically(album + "/~mqxTxt.~pa", store.Bytes());
}

SectionSizes SizesFor(int files)
{
    SectionSizes s;
    s.files = files;
    s.thumbsPerPage = 20;
    s.contentsLines = 30;
    s.overviewPages = (files + 19) / 20;
    s.contentsPages = (files + 3 + 29) / 30;
    s.indexPages = (files + 29) / 30;
    s.indexFirstLineOfPage = [](int page) { return (page - 1) * 30; };
    s.indexPageOfLine = [](int line) { return line / 30; };
    return s;
}

} // namespace

int main()
{
    QTemporaryDir tmp;
    const QString album = tmp.path() + "/Album";
    const QString bookmarkDir = tmp.path() + "/Bookmark";
    QDir().mkpath(album);
    Fill(album, bookmarkDir);

    std::vector<double> plain, stores, lookups;
    int shown = 0, comments = 0;
    for (int run = 0; run < 15; ++run) {
        double t0 = CpuMs();
        {
            PageList pages;
            pages.Build(album, kDefaultFilterMask, SortByName);
            BookLayout layout;
            layout.Compute(SizesFor(pages.Count()));
        }
        plain.push_back(CpuMs() - t0);

        t0 = CpuMs();
        PageList pages;
        pages.Build(album, kDefaultFilterMask, SortByName);
        BookLayout layout;
        layout.Compute(SizesFor(pages.Count()));
        const double afterList = CpuMs();
        BookmarkTable table;
        LoadAlbumBookmarks(BookmarkRegister(bookmarkDir), album, table, false);
        const FileNameIndex index = FileNameIndex::Of(pages);
        MapBookmarksToPages(table, layout, index, FileExistsIn(album));
        LayOutBookmarkTabs(table, layout, 900, 700, [](const QString &s) { return int(s.size()) * 6; });
        AlbumFolderFiles files;
        files.Load(album);
        files.Comments.FindComment(pages.PagePath(0));   // builds the name index
        stores.push_back(CpuMs() - afterList);
        shown = int(std::count_if(table.begin(), table.end(), [](const BookMarkRec &b) { return b.Page > 0; }));

        // Not part of opening: every file's comment read once, as painting every page would.
        t0 = CpuMs();
        comments = 0;
        PageComment c;
        for (int i = 0; i < pages.Count(); ++i) comments += files.Comments.ReadComment(pages.PagePath(i), 900, 700, c);
        lookups.push_back(CpuMs() - t0);
    }
    std::sort(plain.begin(), plain.end());
    std::sort(stores.begin(), stores.end());
    std::sort(lookups.begin(), lookups.end());
    const double ratio = (plain.front() + stores.front()) / plain.front();
    std::printf("opening %d files without bookmarks and comments: %.2f ms CPU\n", kFiles, plain.front());
    std::printf("with %d bookmarks (%d shown) and %d comments: +%.2f ms CPU\n", kBookmarks, shown, kFiles,
                stores.front());
    std::printf("reading the comment of every file once (%d found): %.2f ms CPU\n", comments, lookups.front());
    std::printf("ratio %.3f (limit 1.3): %s\n", ratio, ratio <= 1.3 ? "ok" : "TOO HIGH");
    return 0;
}
