// Zooming into a file page's picture on the real window: Ctrl+wheel and "+" zoom in, the picture
// gets sharper as the worker's decodes arrive and stands upright, a drag pans within the edges,
// Escape, a double click and "-" at the page's scale go back to the book, whose own clicks, keys
// and flips are as before.
#include "app/PageZoomController.h"
#include "main_window_fixture.h"
#include "platform/ImagingTestTools.h"
#include <QApplication>
#include <QBuffer>
#include <QWheelEvent>

using namespace pagero;
using namespace pagero::test;

namespace {

// 2-pixel stripes, black and white, running down a 1600 x 1200 JPEG that is stored turned: its
// EXIF orientation 6 stands it upright as 1200 x 1600 with the stripes running across.
void WriteTurnedStripes(const QString &path)
{
    QImage stripes(1600, 1200, QImage::Format_RGB32);
    for (int x = 0; x < stripes.width(); ++x)
        for (int y = 0; y < stripes.height(); ++y)
            stripes.setPixel(x, y, (x / 2) % 2 ? 0xFFFFFFFF : 0xFF000000);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(stripes.save(&buffer, "JPG", 100));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(WithOrientation(jpeg, 6)), WithOrientation(jpeg, 6).size());
}

// Black-white changes along column `x` of `image` over `rows` rows from `top`, and along row `y`.
int ChangesDown(const QImage &image, int x, int top, int rows)
{
    int changes = 0;
    for (int y = top + 1; y < top + rows; ++y)
        changes += std::abs(qGray(image.pixel(x, y)) - qGray(image.pixel(x, y - 1))) > 128;
    return changes;
}
int ChangesAcross(const QImage &image, int y, int left, int columns)
{
    int changes = 0;
    for (int x = left + 1; x < left + columns; ++x)
        changes += std::abs(qGray(image.pixel(x, y)) - qGray(image.pixel(x - 1, y))) > 128;
    return changes;
}

void CtrlWheel(QWidget *target, QPoint at, int delta)
{
    QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
}

void Drag(QWidget *target, QPoint from, QPoint to)
{
    QTest::mousePress(target, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, target->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(target, &move);
    QTest::mouseRelease(target, Qt::LeftButton, {}, to);
}

} // namespace

class PageZoomTest : public MainWindowTest {
protected:
    PageZoomController &Zoom() { return window->Features().Zoom(); }
    // Opens `folder` and turns to its first file page; returns that page's centre.
    QPoint OpenAtFirstFile(const QString &folder)
    {
        TTurvane_Fm &w = Start({folder});
        EXPECT_TRUE(WaitOpen());
        w.FlipTo(w.Layout_().FirstFilePage);
        EXPECT_TRUE(Landed());
        return w.Layout_().FirstFilePage % 2 ? RightPageCentre() : LeftPageCentre();
    }
};

TEST_F(PageZoomTest, CtrlWheelAndPlusZoomToFullResolutionAndTheDecodesMakeItSharp)
{
    const QString folder = root.filePath("photos");
    ASSERT_TRUE(QDir().mkpath(folder));
    WriteTurnedStripes(folder + "/stripes.jpg");
    const QPoint centre = OpenAtFirstFile(folder);
    TTurvane_Fm &w = *window;

    CtrlWheel(w.View(), centre, 120);
    ASSERT_TRUE(Zoom().Zoomed());
    PageZoomView &view = *Zoom().View();
    EXPECT_TRUE(view.isVisible());
    EXPECT_GT(view.Zoom().Scale(), view.Zoom().MinScale());
    EXPECT_EQ(view.Zoom().Original(), QSize(1200, 1600));   // upright
    for (int i = 0; i < 10; ++i) QTest::keyClick(&view, Qt::Key_Plus);
    ASSERT_TRUE(view.Zoom().AtMaximum());
    EXPECT_DOUBLE_EQ(view.Zoom().Scale(), 1.0);

    // Until a decode arrives the page's own picture is shown scaled up: the stripes are lost.
    const QRectF shown = view.Zoom().PictureRect().intersected(QRectF(view.rect()));
    const int x = int(shown.center().x()), y = int(shown.center().y());
    const QImage blurred = view.grab().toImage();
    EXPECT_LT(ChangesDown(blurred, x, y - 60, 120), 5);

    ASSERT_TRUE(WaitFor([&] { return view.Picture().size() == QSize(1200, 1600) && !Zoom().Decoding(); }));
    const QImage sharp = view.grab().toImage();
    EXPECT_GT(ChangesDown(sharp, x, y - 60, 120), 50);   // a change every two rows
    EXPECT_EQ(ChangesAcross(sharp, y, x - 60, 120), 0);  // the stripes run across: upright

    // A drag moves the picture with the pointer, and never past its edges.
    const QRectF before = view.Zoom().PictureRect();
    Drag(&view, QPoint(x, y), QPoint(x + 30, y - 20));
    EXPECT_EQ(view.Zoom().PictureRect().topLeft(), before.topLeft() + QPointF(30, -20));
    Drag(&view, QPoint(x, y), QPoint(x + 5000, y + 5000));
    EXPECT_EQ(view.Zoom().PictureRect().topLeft(), QPointF(0, 0));

    // Escape goes back to the book, which takes its clicks again.
    const int spread = w.Flip_().RightPageNo;
    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_FALSE(Zoom().Zoomed());
    EXPECT_FALSE(view.isVisible());
    EXPECT_TRUE(view.Picture().isNull());   // the decoded picture's memory is given back
    QTest::mouseClick(w.View(), Qt::LeftButton, {}, RightPageCentre());
    ASSERT_TRUE(Landed());
    EXPECT_EQ(w.Flip_().RightPageNo, spread + 2);
}

TEST_F(PageZoomTest, TheBookKeepsItsInputAndTheZoomEndsWhenItsPageGoes)
{
    const QPoint centre = OpenAtFirstFile(album);
    TTurvane_Fm &w = *window;
    const int first = w.Layout_().FirstFilePage;

    // A double click on a page turns two leaves as before, and zooms nothing.
    QTest::mouseDClick(w.View(), Qt::LeftButton, {}, centre);
    ASSERT_TRUE(Landed());
    EXPECT_FALSE(Zoom().Zoomed());
    EXPECT_NE(w.Flip_().LeftPageNo, (first / 2) * 2);
    w.FlipTo(first);
    ASSERT_TRUE(Landed());

    // "+" zooms the page under the pointer; in the zoom the arrow keys pan, they do not turn.
    QTest::mouseMove(w.View(), centre);
    QTest::keyClick(w.View(), Qt::Key_Plus);
    ASSERT_TRUE(Zoom().Zoomed());
    EXPECT_EQ(Zoom().ZoomedPage(), first);
    QTest::keyClick(&w, Qt::Key_Right);   // sent to the window, as a key the book area passed on
    EXPECT_TRUE(w.Idle());
    EXPECT_TRUE(Zoom().Zoomed());
    EXPECT_TRUE(w.Flip_().LeftPageNo == first || w.Flip_().RightPageNo == first);
    // The small picture stops two steps above the page's size; "-" back at it returns to the book.
    QTest::keyClick(Zoom().View(), Qt::Key_Plus);
    QTest::keyClick(Zoom().View(), Qt::Key_Plus);
    EXPECT_TRUE(Zoom().View()->Zoom().AtMaximum());
    for (int i = 0; i < 3 && Zoom().Zoomed(); ++i) QTest::keyClick(Zoom().View(), Qt::Key_Minus);
    EXPECT_FALSE(Zoom().Zoomed());

    // A double click in the zoom returns to the book.
    CtrlWheel(w.View(), centre, 120);
    ASSERT_TRUE(Zoom().Zoomed());
    QTest::mouseDClick(Zoom().View(), Qt::LeftButton, {}, centre);
    EXPECT_FALSE(Zoom().Zoomed());
    EXPECT_EQ(w.Flip_().RightPageNo | 1, first | 1);   // neither click turned a leaf

    // A flip from elsewhere (a menu command, the auto flip) ends the zoom.
    CtrlWheel(w.View(), centre, 120);
    ASSERT_TRUE(Zoom().Zoomed());
    w.Flip(Forward, 2);
    ASSERT_TRUE(Landed());
    EXPECT_TRUE(WaitFor([&] { return !Zoom().Zoomed(); }));

    // Ctrl+wheel over a page without a picture turns leaves as the wheel always did.
    w.FlipTo(w.Layout_().FirstIndexPage);
    ASSERT_TRUE(Landed());
    const int before = w.Flip_().RightPageNo;
    CtrlWheel(w.View(), RightPageCentre(), -120);
    ASSERT_TRUE(Landed());
    EXPECT_FALSE(Zoom().Zoomed());
    EXPECT_EQ(w.Flip_().RightPageNo, before + 2);
}
