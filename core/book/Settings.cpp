// The two binary settings files: fixed little-endian layouts, read field by field so that a short
// file keeps the defaults of whatever it does not cover, written whole and atomically.
#include "core/book/Settings.h"
#include "core/common/AtomicFile.h"
#include "core/common/MyLib.h"

#include <QFileInfo>
#include <QtEndian>
#include <algorithm>

namespace pagero {

namespace {

constexpr int kFixedSize = 50;       // "~evParam.~ev" before the MRU text
constexpr int kSettings2Size = 165;  // "~evParam2.~ev"
constexpr int kMusicFileOffset = 60;
constexpr int kMusicFileBytes = 100;

// Reads fields from a byte image; a field is taken only when the image holds all of its bytes.
class FieldReader {
public:
    explicit FieldReader(const QByteArray &bytes) : bytes_(bytes) {}
    bool Covers(int offset, int size) const { return offset >= 0 && bytes_.size() >= qsizetype(offset) + size; }
    void Int(int offset, int32_t &field) const
    {
        if (Covers(offset, 4)) field = qFromLittleEndian<int32_t>(bytes_.constData() + offset);
    }
    void Color(int offset, uint32_t &field) const
    {
        if (Covers(offset, 4)) field = qFromLittleEndian<uint32_t>(bytes_.constData() + offset);
    }
    // A flag stored as a 32-bit integer: set only for exactly 1.
    void IntFlag(int offset, bool &field) const
    {
        if (Covers(offset, 4)) field = qFromLittleEndian<int32_t>(bytes_.constData() + offset) == 1;
    }
    void Bool(int offset, bool &field) const
    {
        if (Covers(offset, 1)) field = bytes_.at(offset) != 0;
    }
private:
    const QByteArray &bytes_;
};

class FieldWriter {
public:
    explicit FieldWriter(int size) : bytes_(size, '\0') {}
    void Int(int offset, int32_t v) { qToLittleEndian<int32_t>(v, bytes_.data() + offset); }
    void Color(int offset, uint32_t v) { qToLittleEndian<uint32_t>(v, bytes_.data() + offset); }
    void Bool(int offset, bool v) { bytes_[offset] = v ? 1 : 0; }
    QByteArray &Bytes() { return bytes_; }
private:
    QByteArray bytes_;
};

// Lines ended by CR LF (a lone CR or LF also ends a line). Blank lines carry no folder and are
// skipped: they would be dropped as missing folders anyway.
QStringList SplitLines(const QByteArray &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i <= n; ++i) {
        if (i < n && text[i] != '\r' && text[i] != '\n') continue;
        if (i > start) lines.append(QString::fromUtf8(text.constData() + start, i - start));
        if (i + 1 < n && text[i] == '\r' && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    return lines;
}

// The UTF-8 bytes of text cut to at most maxBytes without splitting a character.
QByteArray Utf8Prefix(const QString &text, qsizetype maxBytes)
{
    QByteArray bytes = text.toUtf8();
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0) bytes.truncate(nul);
    if (bytes.size() <= maxBytes) return bytes;
    qsizetype cut = maxBytes;
    while (cut > 0 && (uchar(bytes[cut]) & 0xC0) == 0x80) --cut;
    bytes.truncate(cut);
    return bytes;
}

// A value outside what its dialog can set comes from a damaged or foreign file; it takes the default.
void KeepInRange(int32_t &field, int32_t low, int32_t high, int32_t fallback)
{
    if (field < low || field > high) field = fallback;
}

bool IsThumbnailSize(int32_t w, int32_t h)
{
    // The three small sizes and the two large ones (144 x 140, 256 x 250). A reader that knows only
    // the small ones takes a large size for an unknown value and falls back to 72 x 70.
    return (w == 72 && h == 70) || (w == 56 && h == 55) || (w == 38 && h == 36) || (w == 144 && h == 140)
        || (w == 256 && h == 250);
}

bool HasBitmap(const QString &exeDir, const char *name)
{
    const QString path = JoinPath(exeDir, QLatin1String(name));
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace

QByteArray EncodeSettings(const Settings &s)
{
    FieldWriter w(kFixedSize);
    w.Int(0, s.FlipSpeed);
    w.Int(4, s.ScreenBackKind);
    w.Color(8, s.ScreenBackColor);
    w.Int(12, s.PreviewBackKind);
    w.Color(16, s.PreviewBackColor);
    w.Int(20, s.CoverKind);
    w.Color(24, s.CoverColor);
    w.Int(28, IsKnownSortOrder(s.SortOrder) ? s.SortOrder : 0);
    w.Int(32, s.AutoFlipToOverview ? 1 : 0);
    // 36 .. 45 reserved, zero.
    w.Bool(46, s.JCAutoShow);
    w.Bool(47, s.FlippingSound);
    w.Bool(48, s.AutoReopen);
    w.Bool(49, s.WithPageNo);
    QByteArray &out = w.Bytes();
    for (const QString &folder : s.MRUList) {
        // A folder name holding a line break cannot be stored as one line; it would come back as
        // other folders.
        if (folder.isEmpty() || folder.contains(QLatin1Char('\r')) || folder.contains(QLatin1Char('\n')))
            continue;
        out += folder.toUtf8();
        out += "\r\n";
    }
    return out;
}

void DecodeSettings(const QByteArray &bytes, Settings &s)
{
    const FieldReader r(bytes);
    s.MRUList.clear();
    r.Int(0, s.FlipSpeed);
    r.Int(4, s.ScreenBackKind);
    r.Color(8, s.ScreenBackColor);
    r.Int(12, s.PreviewBackKind);
    r.Color(16, s.PreviewBackColor);
    r.Int(20, s.CoverKind);
    r.Color(24, s.CoverColor);
    r.Int(28, s.SortOrder);
    r.IntFlag(32, s.AutoFlipToOverview);
    r.Bool(46, s.JCAutoShow);
    r.Bool(47, s.FlippingSound);
    r.Bool(48, s.AutoReopen);
    r.Bool(49, s.WithPageNo);
    KeepInRange(s.FlipSpeed, kMinFlipSpeed, kMaxFlipSpeed, Settings().FlipSpeed);
    if (bytes.size() > kFixedSize) s.MRUList = SplitLines(bytes.mid(kFixedSize));
}

QByteArray EncodeSettings2(const Settings &s)
{
    FieldWriter w(kSettings2Size);
    w.Int(0, s.AutoFlipDirection);
    w.Int(4, s.AutoFlipInterval);
    w.Int(8, s.AutoFlipEndAction);
    w.Int(12, s.SlideNextScreen);
    w.Int(16, s.SlideDirection);
    w.Int(20, s.SlideScreenInterval);
    w.Int(24, s.SlideSlideInterval);
    w.Int(28, s.SlideEndAction);
    w.Int(32, s.SlideRows);
    w.Int(36, s.SlideColumns);
    w.Bool(40, s.SlideShowFrame);
    w.Bool(41, s.SlideShowFileName);
    // 42, 43 padding, zero.
    w.Int(44, s.ThumbW);
    w.Int(48, s.ThumbH);
    w.Int(52, s.BackgroundMusic ? 1 : 0);
    w.Int(56, s.MusicChoice);
    // At most 99 bytes, so the name always ends with its zero inside the 100-byte field.
    const QByteArray music = Utf8Prefix(s.MusicFile, kMusicFileBytes - 1);
    QByteArray &out = w.Bytes();
    out.replace(kMusicFileOffset, music.size(), music);
    w.Bool(160, s.ToolBarVisible);
    w.Int(161, s.MusicEndAction);
    return out;
}

void DecodeSettings2(const QByteArray &bytes, Settings &s)
{
    const FieldReader r(bytes);
    r.Int(0, s.AutoFlipDirection);
    r.Int(4, s.AutoFlipInterval);
    r.Int(8, s.AutoFlipEndAction);
    r.Int(12, s.SlideNextScreen);
    r.Int(16, s.SlideDirection);
    r.Int(20, s.SlideScreenInterval);
    r.Int(24, s.SlideSlideInterval);
    r.Int(28, s.SlideEndAction);
    r.Int(32, s.SlideRows);
    r.Int(36, s.SlideColumns);
    r.Bool(40, s.SlideShowFrame);
    r.Bool(41, s.SlideShowFileName);
    r.Int(44, s.ThumbW);
    r.Int(48, s.ThumbH);
    r.IntFlag(52, s.BackgroundMusic);
    r.Int(56, s.MusicChoice);
    if (r.Covers(kMusicFileOffset, kMusicFileBytes)) {
        // Zero-terminated; a field with no zero ends at its 100th byte.
        const char *field = bytes.constData() + kMusicFileOffset;
        const qsizetype length = qstrnlen(field, kMusicFileBytes);
        s.MusicFile = QString::fromUtf8(field, length);
    }
    r.Bool(160, s.ToolBarVisible);
    r.Int(161, s.MusicEndAction);

    const Settings d;
    KeepInRange(s.AutoFlipDirection, 0, 2, d.AutoFlipDirection);
    KeepInRange(s.AutoFlipInterval, 10, 60000, d.AutoFlipInterval);
    KeepInRange(s.AutoFlipEndAction, 0, 2, d.AutoFlipEndAction);
    KeepInRange(s.SlideNextScreen, 0, 1, d.SlideNextScreen);
    KeepInRange(s.SlideDirection, 0, 1, d.SlideDirection);
    KeepInRange(s.SlideScreenInterval, 0, 60000, d.SlideScreenInterval);
    KeepInRange(s.SlideSlideInterval, 0, 60000, d.SlideSlideInterval);
    KeepInRange(s.SlideEndAction, 0, 2, d.SlideEndAction);
    KeepInRange(s.SlideRows, 1, 6, d.SlideRows);
    KeepInRange(s.SlideColumns, 1, 6, d.SlideColumns);
    if (!IsThumbnailSize(s.ThumbW, s.ThumbH)) {
        s.ThumbW = d.ThumbW;
        s.ThumbH = d.ThumbH;
    }
    KeepInRange(s.MusicChoice, 0, 3, d.MusicChoice);
    KeepInRange(s.MusicEndAction, 0, 1, d.MusicEndAction);
}

void CorrectBackgroundKinds(const QString &exeDir, Settings &s)
{
    if (s.ScreenBackKind != 1 && !(s.ScreenBackKind == 2 && HasBitmap(exeDir, kScreenBackBitmap)))
        s.ScreenBackKind = 1;
    if (s.PreviewBackKind != 1 && !(s.PreviewBackKind == 2 && HasBitmap(exeDir, kPreviewBackBitmap)))
        s.PreviewBackKind = 1;
    if (s.CoverKind != 1 && !(s.CoverKind == 2 && HasBitmap(exeDir, kCoverBackBitmap)))
        s.CoverKind = 0;
}

void LoadSettings(const QString &exeDir, Settings &s)
{
    s.MRUList.clear();
    const QString path = JoinPath(exeDir, QLatin1String(kSettingsFile));
    QByteArray bytes;
    if (path.isEmpty() || !ReadFileLimited(path, bytes, kFixedSize + kMaxMruTextBytes)) return;
    if (QFileInfo(path).size() > bytes.size()) {
        // Cut off: keep whole lines only.
        const qsizetype lastBreak = std::max(bytes.lastIndexOf('\n'), bytes.lastIndexOf('\r'));
        bytes.truncate(std::max<qsizetype>(kFixedSize, lastBreak + 1));
    }
    const Settings before = s;
    DecodeSettings(bytes, s);
    CorrectBackgroundKinds(exeDir, s);
    // The rules judge only kinds that came from the file; defaults the file did not reach stay.
    const FieldReader r(bytes);
    if (!r.Covers(4, 4)) s.ScreenBackKind = before.ScreenBackKind;
    if (!r.Covers(12, 4)) s.PreviewBackKind = before.PreviewBackKind;
    if (!r.Covers(20, 4)) s.CoverKind = before.CoverKind;
}

void LoadSettings2(const QString &exeDir, Settings &s)
{
    const QString path = JoinPath(exeDir, QLatin1String(kSettingsFile2));
    QByteArray bytes;
    if (path.isEmpty() || !ReadFileLimited(path, bytes, kSettings2Size)) return;
    DecodeSettings2(bytes, s);
}

bool SaveSettings(const QString &exeDir, const Settings &s)
{
    const QString path = JoinPath(exeDir, QLatin1String(kSettingsFile));
    return !path.isEmpty() && WriteFileAtomically(path, EncodeSettings(s));
}

bool SaveSettings2(const QString &exeDir, const Settings &s)
{
    const QString path = JoinPath(exeDir, QLatin1String(kSettingsFile2));
    return !path.isEmpty() && WriteFileAtomically(path, EncodeSettings2(s));
}

} // namespace pagero
