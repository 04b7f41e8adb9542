#pragma once
// The book painter: renders pages once into a 4-slot page cache and composes spreads and flip frames
// into off-screen frames (ViewImage1 is the frame shown, ViewImage2 a flip's background).
#include "core/book/BookGeometry.h"
#include "core/book/BookLayout.h"
#include "core/book/FlipState.h"
#include "core/book/PageList.h"
#include "core/book/Settings.h"
#include <QImage>
#include <QStringList>
#include <array>

namespace pagero {

class SectionPages;

// What the painter reads; owned by the main window.
struct BookScene {
    const BookGeometry *geo = nullptr;
    const BookLayout *layout = nullptr;
    const FlipState *flip = nullptr;
    const PageList *pages = nullptr;
    const QStringList *selection = nullptr;   // batch-selected full paths (compared ignoring case)
    const Settings *settings = nullptr;       // background and cover kinds and colours
    QString exeDir;
    QStringList albumNameLines;               // cover title: line 0 heading, line 1 name
    QImage screenBackBitmap;                  // when the screen background kind is 2
    QImage coverBitmap;                       // when the cover kind is 2
    SectionPages *overview = nullptr, *contents = nullptr, *index = nullptr;
};

class BookPainter {
public:
    BookPainter();
    void Resize(const BookGeometry &geo);       // sizes the frames and page images; empties the cache
    void InvalidatePageCache();
    // The cached image of `page`, rendered with all four flags when not cached yet.
    const QImage &GetPage(const BookScene &scene, int page);
    void RenderPage(const BookScene &scene, int page, QImage &image,
                    bool showName, bool showComment, bool showNumber, bool showRings);
    void RenderSpread(const BookScene &scene, QImage &frame);
    void DrawLeaves(const BookScene &scene, QImage &frame);

    QImage ViewImage1, ViewImage2, PageImage1, PageImage2;

private:
    struct Slot { int page = -1; QImage image; };
    std::array<Slot, 4> cache_;
};

} // namespace pagero
