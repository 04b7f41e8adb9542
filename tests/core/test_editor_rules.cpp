// The image editor's window-free rules.
#include "core/common/AtomicFile.h"
#include "core/editor/EditorRules.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pagero;
using namespace pagero::editor;

TEST(EditorRules, ZoomStepsThroughOneToOneAndStopsAtTen)
{
    Zoom z{1, 3};
    QStringList seen;
    for (int i = 0; i < 3; ++i) seen << ZoomLabel(z = ZoomedIn(z));
    EXPECT_EQ(seen, QStringList({"1:2", "1:1", "2:1"}));
    EXPECT_EQ(ZoomedIn(Zoom{10, 1}), (Zoom{10, 1}));
    EXPECT_EQ(ZoomedOut(Zoom{1, 10}), (Zoom{1, 10}));
    EXPECT_EQ(ZoomedOut(Zoom{2, 1}), (Zoom{1, 1}));
}

TEST(EditorRules, SaveRules)
{
    EXPECT_EQ(SameFileQualityFactor("/a/b.jpg"), 22);
    EXPECT_EQ(SameFileQualityFactor("/a/b.JPG"), 2);
    EXPECT_EQ(SameFileQualityFactor("/a/b.jpeg"), 2);
    EXPECT_EQ(QualityFactorOfSlider(100), 2);
    EXPECT_EQ(QualityFactorOfSlider(10), 229);
    EXPECT_EQ(WithExtension("/x.y/name", ".gif"), "/x.y/name.gif");
    EXPECT_EQ(WithExtension("a.b.jpg", ".png"), "a.b.png");
    EXPECT_TRUE(IconRefusal("/p/a.ICO", "/p/b.ico").isEmpty());
    EXPECT_EQ(IconRefusal("/p/a.bmp", "/p/b.ico"), "/p/a.bmp\r\nCannot be saved as /p/b.ico.");
    EXPECT_EQ(SaveFormats()[SaveFormatOfPath("x.GIF")].preselected, 8);
    EXPECT_EQ(SaveQuestion(Modified, "/p/a.bmp"), "Save changes to /p/a.bmp?");
    EXPECT_EQ(EditorCaption(true, AcquireFailed, {}), "Pagero Image Editor - Unknown Error Image Data *");
    EXPECT_EQ(StateAfterChange(NewImage), NewImage);
}

TEST(EditorRules, ParametersFileRoundTripsAndRejectsNonsense)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(kEditorParamsFile);
    ASSERT_TRUE(WriteEditorParams(path, {false, 1}));
    QByteArray bytes;
    ASSERT_TRUE(ReadFileLimited(path, bytes));
    EXPECT_EQ(bytes, QByteArray("\0\1\0\0\0", 5));
    EXPECT_EQ(ReadEditorParams(path).toolbarDock, 1);
    EXPECT_FALSE(ReadEditorParams(path).toolbarVisible);
    ASSERT_TRUE(WriteFileAtomically(path, QByteArray("\1\7\0\0\0", 5)));
    EXPECT_EQ(ReadEditorParams(path).toolbarDock, 2);   // out of range: the defaults
}

TEST(EditorRules, DialogArithmetic)
{
    EXPECT_EQ(SpatialFilterNumber(3, 2), 23);   // Sobel, Vertical
    EXPECT_EQ(SpatialFilterNumber(6, 1), 26);
    EXPECT_EQ(SpatialFilterNumber(5, 4), 32);
    EXPECT_EQ(SpatialFilterNumber(0, 0), -1);
    EXPECT_EQ(SpatialFilterNumber(3, 3), -1);
    int x = 7, y = 9;
    PlaceText(9, 101, 50, 20, 10, x, y);
    EXPECT_EQ(x, 40);
    EXPECT_EQ(y, 38);
    PlaceText(7, 101, 50, 20, 10, x, y);
    EXPECT_EQ(x, 40);
    EXPECT_EQ(y, 20);
}
