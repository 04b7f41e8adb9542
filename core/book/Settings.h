#pragma once
// The two binary settings files of the program folder, "~evParam.~ev" and "~evParam2.~ev".
// Integers are 32-bit little-endian, booleans one byte; both files are written atomically.
#include <QString>
#include <QStringList>
#include <cstdint>

namespace pagero {

struct Settings {
    int32_t FlipSpeed = 15;
    int32_t ScreenBackKind = 1;     // 1 colour, 2 bitmap
    uint32_t ScreenBackColor = 0x808080;
    int32_t PreviewBackKind = 1;    // 1 colour, 2 bitmap
    uint32_t PreviewBackColor = 0x808080;
    int32_t CoverKind = 0;          // 0 default picture, 1 colour, 2 bitmap
    uint32_t CoverColor = 0xFFFFFF;
    int32_t SortOrder = 1;          // 0..4; any other value is kept as read, checks no sort item
                                    // and is written back as 0 (see IsKnownSortOrder)
    bool AutoFlipToOverview = true;
    bool JCAutoShow = true;
    bool FlippingSound = true;
    bool AutoReopen = true;
    bool WithPageNo = true;
    QStringList MRUList;

    int32_t AutoFlipDirection = 1;
    int32_t AutoFlipInterval = 100;
    int32_t AutoFlipEndAction = 2;
    int32_t SlideNextScreen = 1;
    int32_t SlideDirection = 0;
    int32_t SlideScreenInterval = 500;
    int32_t SlideSlideInterval = 500;
    int32_t SlideEndAction = 1;
    int32_t SlideRows = 2;
    int32_t SlideColumns = 2;
    bool SlideShowFrame = true;
    bool SlideShowFileName = false;
    int32_t ThumbW = 72;
    int32_t ThumbH = 70;
    bool BackgroundMusic = false;
    int32_t MusicChoice = 2;
    QString MusicFile;              // at most 99 bytes stored
    bool ToolBarVisible = true;
    int32_t MusicEndAction = 1;
};

inline const char *const kSettingsFile = "~evParam.~ev";
inline const char *const kSettingsFile2 = "~evParam2.~ev";
inline const char *const kScreenBackBitmap = "scbackBitmap.BMP";
inline const char *const kPreviewBackBitmap = "vwbackBitmap.BMP";
inline const char *const kCoverBackBitmap = "cvbackBitmap.BMP";
inline const char *const kDefaultBackBitmap = "~bkgnd.bmp";

// The most MRU text read from "~evParam.~ev"; a longer file is cut at the last whole line before it.
inline constexpr qint64 kMaxMruTextBytes = 1024 * 1024;

// Reading applies the fields over `s` (which holds the defaults); a missing file changes nothing
// (but the MRU list is cleared first), a short file keeps the defaults of every field it does not
// cover completely. The background kinds read from the file are then corrected by the bitmap rules
// (kind 2 without its bitmap file in exeDir falls back). The caller refreshes the MRU list
// (RefreshedMRU), which drops folders that no longer exist.
void LoadSettings(const QString &exeDir, Settings &s);
void LoadSettings2(const QString &exeDir, Settings &s);
// Writing returns false when the file could not be written (the old file is then kept).
bool SaveSettings(const QString &exeDir, const Settings &s);
bool SaveSettings2(const QString &exeDir, const Settings &s);

// The flip speed dialog's range; the flip arithmetic relies on it.
inline constexpr int kMinFlipSpeed = 5;
inline constexpr int kMaxFlipSpeed = 75;

// The byte images, for tests and for the writers above. Decoding replaces every value that its
// dialog could not have set (flip speed 5..75, auto-flip and slide-show choices and intervals, rows
// and columns 1..6, one of the three thumbnail sizes, music choice and end action) by its default.
QByteArray EncodeSettings(const Settings &s);
QByteArray EncodeSettings2(const Settings &s);
void DecodeSettings(const QByteArray &bytes, Settings &s);
void DecodeSettings2(const QByteArray &bytes, Settings &s);

// The background kind rules: screen and preview kinds other than 1 and 2, or 2 without
// "scbackBitmap.BMP" / "vwbackBitmap.BMP" in exeDir, become 1; a cover kind other than 1 and 2, or 2
// without "cvbackBitmap.BMP", becomes 0.
void CorrectBackgroundKinds(const QString &exeDir, Settings &s);

// 0 default, 1 name, 2 type, 3 size, 4 date. Any other stored value checks no sort item in the menu,
// so the menu's order (none checked = 0) is what the next save writes; EncodeSettings writes 0 for it.
inline bool IsKnownSortOrder(int order) { return order >= 0 && order <= 4; }

} // namespace pagero
