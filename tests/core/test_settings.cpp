// The two settings files, built byte by byte from their tables and compared byte for byte with what
// the program writes.
#include "core/book/Settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace pagero;

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// A byte image assembled field by field, little-endian.
struct Image {
    QByteArray b;
    Image &I32(int32_t v) { char buf[4]; qToLittleEndian<int32_t>(v, buf); b.append(buf, 4); return *this; }
    Image &U32(uint32_t v) { char buf[4]; qToLittleEndian<uint32_t>(v, buf); b.append(buf, 4); return *this; }
    Image &Byte(int v) { b.append(char(v)); return *this; }
    Image &Zeros(int n) { b.append(QByteArray(n, '\0')); return *this; }
    Image &Text(const QByteArray &t) { b.append(t); return *this; }
};

// The fixed 50 bytes of "~evParam.~ev" with values unlike the defaults.
Image FixedPart(int32_t screenKind = 1, int32_t previewKind = 1, int32_t coverKind = 1, int32_t sortOrder = 3)
{
    Image im;
    im.I32(40)                 // flip speed
        .I32(screenKind).U32(0x0000FF)
        .I32(previewKind).U32(0x00FF00)
        .I32(coverKind).U32(0xFF0000)
        .I32(sortOrder)
        .I32(0)                // flip to overview: not checked
        .I32(0).Zeros(6)       // reserved
        .Byte(0).Byte(0).Byte(1).Byte(0);
    return im;
}

Image Param2(const QByteArray &music)
{
    Image im;
    im.I32(0).I32(250).I32(1)                           // auto flip
        .I32(0).I32(1).I32(900).I32(700).I32(2).I32(3).I32(4).Byte(0).Byte(1).Zeros(2)   // slide show
        .I32(56).I32(55)                                // thumbnail size
        .I32(1).I32(3);                                 // music on, choice 3
    QByteArray field = music;
    field.append(QByteArray(100 - field.size(), '\0'));
    im.Text(field).Byte(0).I32(0);                      // tool bar hidden, music stops
    return im;
}

class SettingsFiles : public ::testing::Test {
protected:
    void Write(const char *name, const QByteArray &bytes)
    {
        QFile f(exe.path() + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray Read(const char *name)
    {
        QFile f(exe.path() + "/" + name);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
    QTemporaryDir exe;
};

} // namespace

TEST(SettingsImage, FirstFileFieldsAndMruLines)
{
    Settings s;
    DecodeSettings(FixedPart(2, 2, 2, 3).Text("/albums/one\r\n/albums/two\r\n").b, s);
    EXPECT_EQ(s.FlipSpeed, 40);
    EXPECT_EQ(s.ScreenBackKind, 2);
    EXPECT_EQ(s.ScreenBackColor, 0x0000FFu);
    EXPECT_EQ(s.PreviewBackColor, 0x00FF00u);
    EXPECT_EQ(s.CoverKind, 2);
    EXPECT_EQ(s.CoverColor, 0xFF0000u);
    EXPECT_EQ(s.SortOrder, 3);
    EXPECT_FALSE(s.AutoFlipToOverview);
    EXPECT_FALSE(s.JCAutoShow);
    EXPECT_FALSE(s.FlippingSound);
    EXPECT_TRUE(s.AutoReopen);
    EXPECT_FALSE(s.WithPageNo);
    EXPECT_EQ(s.MRUList, QStringList({"/albums/one", "/albums/two"}));
}

TEST(SettingsImage, WriterProducesTheTableLayout)
{
    Settings s;
    s.FlipSpeed = 40;
    s.ScreenBackKind = 2; s.ScreenBackColor = 0x0000FF;
    s.PreviewBackKind = 2; s.PreviewBackColor = 0x00FF00;
    s.CoverKind = 2; s.CoverColor = 0xFF0000;
    s.SortOrder = 3;
    s.AutoFlipToOverview = false;
    s.JCAutoShow = false; s.FlippingSound = false; s.AutoReopen = true; s.WithPageNo = false;
    s.MRUList = {"/albums/one", "/albums/Ünïcode & more"};
    EXPECT_EQ(EncodeSettings(s), FixedPart(2, 2, 2, 3).Text("/albums/one\r\n").Text(QString("/albums/Ünïcode & more").toUtf8()).Text("\r\n").b);

    Settings defaults;
    const QByteArray d = EncodeSettings(defaults);
    const QByteArray expected = Image().I32(15).I32(1).U32(0x808080).I32(1).U32(0x808080).I32(0).U32(0xFFFFFF)
                                    .I32(1).I32(1).I32(0).Zeros(6).Byte(1).Byte(1).Byte(1).Byte(1).b;
    EXPECT_EQ(d, expected);
    EXPECT_EQ(d.size(), 50);
}

TEST(SettingsImage, UnknownSortOrderIsKeptButWrittenAsDefault)
{
    Settings s;
    DecodeSettings(FixedPart(1, 1, 1, 7).b, s);
    EXPECT_EQ(s.SortOrder, 7);
    EXPECT_FALSE(IsKnownSortOrder(s.SortOrder));
    EXPECT_EQ(qFromLittleEndian<int32_t>(EncodeSettings(s).constData() + 28), 0);
    s.SortOrder = 4;
    EXPECT_EQ(qFromLittleEndian<int32_t>(EncodeSettings(s).constData() + 28), 4);
}

TEST(SettingsImage, ShortFirstFileKeepsTheDefaultsItDoesNotCover)
{
    const QByteArray full = FixedPart(1, 1, 1, 3).b;
    Settings s;
    DecodeSettings(full.left(30), s);   // ends inside the sort order
    EXPECT_EQ(s.FlipSpeed, 40);
    EXPECT_EQ(s.CoverColor, 0xFF0000u);
    EXPECT_EQ(s.SortOrder, 1);
    EXPECT_TRUE(s.AutoFlipToOverview);
    EXPECT_TRUE(s.JCAutoShow);

    Settings t;
    DecodeSettings(full.left(47), t);   // the second block read only partly
    EXPECT_EQ(t.SortOrder, 3);
    EXPECT_FALSE(t.JCAutoShow);
    EXPECT_TRUE(t.FlippingSound) << "beyond the bytes read: default";
    EXPECT_TRUE(t.WithPageNo);
    EXPECT_TRUE(t.MRUList.isEmpty());

    Settings e;
    e.MRUList = {"/stale"};
    DecodeSettings(QByteArray(), e);
    EXPECT_EQ(e.FlipSpeed, 15);
    EXPECT_TRUE(e.MRUList.isEmpty());
}

TEST(SettingsImage, MalformedMruText)
{
    Settings s;
    DecodeSettings(FixedPart().Text("\r\n/a\n/b\r/c\r\n\r\n\n/d").b, s);
    EXPECT_EQ(s.MRUList, QStringList({"/a", "/b", "/c", "/d"}));
    DecodeSettings(FixedPart().Text(QByteArray("/x\0y\r\n", 6)).Text("\xff\xfe\r\n").b, s);
    ASSERT_EQ(s.MRUList.size(), 2);   // undecodable bytes do not crash; such a folder will not exist
    // A folder that cannot be one line is not written (it would come back as other folders).
    s.MRUList = {"/ok", "/bad\r\nname", ""};
    EXPECT_EQ(EncodeSettings(s).mid(50), "/ok\r\n");
    // Odd flag values: the integer flag is set only for 1; a bool byte is set for anything but 0.
    QByteArray odd = FixedPart().b;
    odd[32] = 2;
    odd[46] = 7;
    DecodeSettings(odd, s);
    EXPECT_FALSE(s.AutoFlipToOverview);
    EXPECT_TRUE(s.JCAutoShow);
}

TEST(SettingsImage, SecondFileFieldsAndLayout)
{
    Settings s;
    const QByteArray bytes = Param2("bksnd02.mid").b;
    ASSERT_EQ(bytes.size(), 165);
    DecodeSettings2(bytes, s);
    EXPECT_EQ(s.AutoFlipDirection, 0);
    EXPECT_EQ(s.AutoFlipInterval, 250);
    EXPECT_EQ(s.AutoFlipEndAction, 1);
    EXPECT_EQ(s.SlideNextScreen, 0);
    EXPECT_EQ(s.SlideDirection, 1);
    EXPECT_EQ(s.SlideScreenInterval, 900);
    EXPECT_EQ(s.SlideSlideInterval, 700);
    EXPECT_EQ(s.SlideEndAction, 2);
    EXPECT_EQ(s.SlideRows, 3);
    EXPECT_EQ(s.SlideColumns, 4);
    EXPECT_FALSE(s.SlideShowFrame);
    EXPECT_TRUE(s.SlideShowFileName);
    EXPECT_EQ(s.ThumbW, 56);
    EXPECT_EQ(s.ThumbH, 55);
    EXPECT_TRUE(s.BackgroundMusic);
    EXPECT_EQ(s.MusicChoice, 3);
    EXPECT_EQ(s.MusicFile, "bksnd02.mid");
    EXPECT_FALSE(s.ToolBarVisible);
    EXPECT_EQ(s.MusicEndAction, 0);
    EXPECT_EQ(EncodeSettings2(s), bytes);

    Settings defaults;
    const QByteArray expected = Image().I32(1).I32(100).I32(2).I32(1).I32(0).I32(500).I32(500).I32(1).I32(2)
                                    .I32(2).Byte(1).Byte(0).Zeros(2).I32(72).I32(70).I32(0).I32(2).Zeros(100)
                                    .Byte(1).I32(1).b;
    EXPECT_EQ(EncodeSettings2(defaults), expected);
}

TEST(SettingsImage, ValuesNoDialogCouldSetTakeTheirDefaults)
{
    for (int32_t speed : {0, -1, 4, 76, INT32_MAX, INT32_MIN}) {
        Settings s;
        QByteArray bytes = FixedPart().b;
        qToLittleEndian<int32_t>(speed, bytes.data());
        DecodeSettings(bytes, s);
        EXPECT_EQ(s.FlipSpeed, 15) << speed;
    }
    for (int32_t speed : {5, 75}) {
        Settings s;
        QByteArray bytes = FixedPart().b;
        qToLittleEndian<int32_t>(speed, bytes.data());
        DecodeSettings(bytes, s);
        EXPECT_EQ(s.FlipSpeed, speed);
    }

    // Every field of the second file one past its range (intervals at both ends).
    const QByteArray wild = Image().I32(3).I32(9).I32(-1).I32(2).I32(-1).I32(60001).I32(-1).I32(3).I32(0).I32(7)
                                .Byte(1).Byte(0).Zeros(2).I32(72).I32(55).I32(0).I32(4).Zeros(100).Byte(1).I32(2).b;
    Settings s;
    DecodeSettings2(wild, s);
    EXPECT_EQ(EncodeSettings2(s), EncodeSettings2(Settings()));
    DecodeSettings2(Image(wild).b.replace(4, 4, Image().I32(60001).b), s);
    EXPECT_EQ(s.AutoFlipInterval, 100);
}

TEST(SettingsImage, SecondFileShortOversizedAndMusicNameBounds)
{
    const QByteArray full = Param2("bksnd02.mid").b;
    Settings s;
    DecodeSettings2(full.left(100), s);   // ends inside the music file name
    EXPECT_EQ(s.MusicChoice, 3);
    EXPECT_TRUE(s.BackgroundMusic);
    EXPECT_EQ(s.MusicFile, "");
    EXPECT_TRUE(s.ToolBarVisible);
    EXPECT_EQ(s.MusicEndAction, 1);

    Settings t;
    DecodeSettings2(full.left(163), t);   // ends inside the last integer
    EXPECT_FALSE(t.ToolBarVisible);
    EXPECT_EQ(t.MusicEndAction, 1);

    Settings u;
    DecodeSettings2(full + QByteArray(5000, 'x'), u);   // trailing bytes are ignored
    EXPECT_EQ(u.MusicEndAction, 0);

    // A name field without its zero ends at the 100th byte.
    QByteArray noZero = full;
    noZero.replace(60, 100, QByteArray(100, 'm'));
    DecodeSettings2(noZero, u);
    EXPECT_EQ(u.MusicFile, QString(100, 'm'));

    // Writing keeps at most 99 bytes and never splits a character.
    u.ToolBarVisible = true;   // the byte after the name field stays its own
    u.MusicFile = QString(150, 'n');
    QByteArray w = EncodeSettings2(u);
    ASSERT_EQ(w.size(), 165);
    EXPECT_EQ(w.mid(60, 100), QByteArray(99, 'n') + '\0');
    u.MusicFile = QString(98, 'n') + QString::fromUtf8("é");   // 2-byte character at bytes 98, 99
    w = EncodeSettings2(u);
    EXPECT_EQ(w.mid(60, 100), QByteArray(98, 'n') + QByteArray(2, '\0'));
    EXPECT_EQ(w.at(160), 1);
}

TEST_F(SettingsFiles, MissingFilesKeepTheDefaults)
{
    Settings s;
    s.ScreenBackKind = 2;   // as set when the default picture loads
    s.MRUList = {"/stale"};
    LoadSettings(exe.path(), s);
    LoadSettings2(exe.path(), s);
    EXPECT_EQ(s.ScreenBackKind, 2);
    EXPECT_EQ(s.FlipSpeed, 15);
    EXPECT_TRUE(s.MRUList.isEmpty());
    EXPECT_EQ(s.ThumbW, 72);
}

TEST_F(SettingsFiles, BackgroundKindsFollowTheirBitmaps)
{
    Write(kSettingsFile, FixedPart(2, 2, 2).b);
    Settings s;
    LoadSettings(exe.path(), s);
    EXPECT_EQ(s.ScreenBackKind, 1);
    EXPECT_EQ(s.PreviewBackKind, 1);
    EXPECT_EQ(s.CoverKind, 0) << "cover kind 2 without its bitmap reads as the default pattern";

    Write(kScreenBackBitmap, "BM");
    Write(kCoverBackBitmap, "BM");
    LoadSettings(exe.path(), s);
    EXPECT_EQ(s.ScreenBackKind, 2);
    EXPECT_EQ(s.PreviewBackKind, 1);
    EXPECT_EQ(s.CoverKind, 2);

    Write(kSettingsFile, FixedPart(9, -3, 5).b);
    LoadSettings(exe.path(), s);
    EXPECT_EQ(s.ScreenBackKind, 1);
    EXPECT_EQ(s.PreviewBackKind, 1);
    EXPECT_EQ(s.CoverKind, 0);

    // Kinds the file does not reach keep their defaults and are not judged.
    Write(kSettingsFile, FixedPart().b.left(10));
    Settings t;
    t.ScreenBackKind = 1;
    t.PreviewBackKind = 2;
    t.CoverKind = 2;
    LoadSettings(exe.path(), t);
    EXPECT_EQ(t.FlipSpeed, 40);
    EXPECT_EQ(t.PreviewBackKind, 2);
    EXPECT_EQ(t.CoverKind, 2);
}

TEST_F(SettingsFiles, WritersProduceTheBytesAndReadersReadThemBack)
{
    Settings s;
    s.FlipSpeed = 73;
    s.SortOrder = 2;
    s.MRUList = {"/p/one", "/p/two"};
    s.MusicFile = "bksnd01.wav";
    s.ThumbW = 38;
    s.ThumbH = 36;
    ASSERT_TRUE(SaveSettings(exe.path(), s));
    ASSERT_TRUE(SaveSettings2(exe.path(), s));
    EXPECT_EQ(Read(kSettingsFile), EncodeSettings(s));
    EXPECT_EQ(Read(kSettingsFile2), EncodeSettings2(s));
    Settings back;
    LoadSettings(exe.path(), back);
    LoadSettings2(exe.path(), back);
    EXPECT_EQ(back.FlipSpeed, 73);
    EXPECT_EQ(back.SortOrder, 2);
    EXPECT_EQ(back.MRUList, s.MRUList);
    EXPECT_EQ(back.MusicFile, "bksnd01.wav");
    EXPECT_EQ(back.ThumbW, 38);
    EXPECT_EQ(QDir(exe.path()).entryList(QDir::Files | QDir::Hidden).size(), 2) << "no temporary files left";

    EXPECT_FALSE(SaveSettings(exe.path() + "/missing", s));
    EXPECT_FALSE(SaveSettings2(exe.path() + "/missing", s));
}

TEST_F(SettingsFiles, OversizedFilesAreReadWithinBounds)
{
    // 3 MiB of MRU text: the reader stops at its cap and keeps whole lines only.
    QByteArray line = "/" + QByteArray(1000, 'f') + "\r\n";
    Image im = FixedPart();
    while (im.b.size() < 3 * 1024 * 1024) im.Text(line);
    Write(kSettingsFile, im.b);
    Settings s;
    LoadSettings(exe.path(), s);
    EXPECT_EQ(s.FlipSpeed, 40);
    EXPECT_EQ(s.MRUList.size(), int(kMaxMruTextBytes / line.size()));
    for (const QString &folder : s.MRUList) ASSERT_EQ(folder.size(), 1001);

    Write(kSettingsFile2, Param2("bksnd03.mid").Text(QByteArray(1 << 20, '\x7f')).b);
    LoadSettings2(exe.path(), s);
    EXPECT_EQ(s.MusicFile, "bksnd03.mid");
    EXPECT_EQ(s.MusicEndAction, 0);
}
