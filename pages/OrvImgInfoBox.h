#pragma once
// "    Image File Information": a picture file's name, format, size, depth, sizes on disk and in
// memory, compression and date, read from the file's header.
#include <QDateTime>
#include <QDialog>
#include <QString>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace pagero {

// What a picture file's header tells.
struct PictureFileInfo {
    enum class Status { Ok, UnknownFormat, Error };
    Status status = Status::Error;
    int formatNumber = 0;          // the imaging format number (10 JPEG, 75 PNG, 6 BMP, ...), 0 unknown
    QString formatText;            // the decoder's own name, for formats without a number
    int width = 0, height = 0, bitsPerPixel = 0;
    qint64 sizeOnDisk = 0;
    qint64 sizeInMemory = 0;       // bytes of the decoded bitmap: rows padded to 4 bytes
    QString compression;
    QDateTime lastWrite;
};
PictureFileInfo ReadPictureFileInfo(const QString &path);

// Byte counts as the box shows them: decimal up to 1024, above that "n.d KB".
QString InfoSizeText(qint64 bytes);

class TInfoBox : public QDialog {
    Q_OBJECT
public:
    explicit TInfoBox(QWidget *parent = nullptr);

    // Fills the fields from `info` for the file `path` (no window shown).
    void Fill(const QString &path, const PictureFileInfo &info);

    QLineEdit *FName;
    QLabel *FFormat, *FWidth, *FHeight, *FBits, *FDisk, *FMem, *FComp, *FAge;
    QPushButton *OKBtn;
};

// Reads the file's header and shows the box modally; on failure beeps and shows "Unknown image
// file format." or "Error in getting image file info." through the prompter. Returns whether the
// box was shown. `beep` defaults to the application's beep.
bool ShowFileInfo(TInfoBox &box, const QString &path, const std::function<void()> &beep = {});

// The page menu's "information" command: pictures (media kinds 1 and 2) get the information box,
// sounds, MIDI and video (kinds 3 to 5) go to `showMediaInfo`.
void btnInfo1Click(TInfoBox &box, const QString &path, const std::function<void(const QString &)> &showMediaInfo);

} // namespace pagero
