// The resize bars' arithmetic and where batch copies land.
#include "core/batch/BatchTargets.h"
#include "core/batch/SizeFactors.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pagero;

TEST(SizeFactors, BarsRunFromOnePercentThroughTheMiddleToTenfold)
{
    EXPECT_EQ(BarPercent(0, kRatioBarMax), 1);
    EXPECT_EQ(BarPercent(1000, kRatioBarMax), 100);
    EXPECT_EQ(BarPercent(2000, kRatioBarMax), 1000);
    EXPECT_EQ(BarPercent(500, kRatioBarMax), 50);   // 49.5 rounds to even
    EXPECT_DOUBLE_EQ(BarFactor(0, kSizeBarMax), 0.01);
    EXPECT_DOUBLE_EQ(BarFactor(kSizeBarMax, kSizeBarMax), 10.0);
    for (int p : {0, 1234, 10000, 15555, 20000})
        EXPECT_EQ(BarPositionForFactor(BarFactor(p, kSizeBarMax), kSizeBarMax), p);
}

TEST(SizeFactors, PresetSizesAreHitExactly)
{
    for (QSize start : {QSize(6000, 4000), QSize(640, 480), QSize(333, 777), QSize(1, 1)})
        for (QSize want : {QSize(300, 200), QSize(640, 480), QSize(1024, 768), QSize(1280, 1024)}) {
            if (start.width() * 10 < want.width() || start.height() * 10 < want.height()) continue;
            EXPECT_EQ(ScaledSide(SizeBarPositionFor(want.width(), start.width()), start.width()), want.width());
            EXPECT_EQ(ScaledSide(SizeBarPositionFor(want.height(), start.height()), start.height()), want.height());
        }
}

TEST(BatchTargets, NamesTakenOnDiskOrInTheSameBatchGetSuffixes)
{
    QTemporaryDir target;
    QFile(target.filePath("a.jpg")).open(QIODevice::WriteOnly);
    const QStringList planned = PlanBatchTargets({"/x/a.jpg", "/y/a.jpg", "/y/B.png", "/z/b.png", "/z/c"}, target.path());
    EXPECT_EQ(planned, QStringList({target.filePath("a_1.jpg"), target.filePath("a_2.jpg"), target.filePath("B.png"),
                                    target.filePath("b_1.png"), target.filePath("c")}));
}
