#pragma once
// The image editor's window-free rules: zoom steps, image states and the texts that name them, the
// save formats with their bits per pixel and quality factor, the editor parameters file, and the
// arithmetic of the adjustment dialogs.
#include <QList>
#include <QString>

namespace pagero::editor {

// ---- picture state ----
enum ImageState {
    Clean = 0, Modified = 1, NewImage = 2, ScreenCapture = 3, Acquired = 4, ModifiedOther = 5,
    CaptureFailed = -3, AcquireFailed = -4,
};
// A change makes a clean file modified; every other state stays as it is.
inline int StateAfterChange(int state) { return state == Clean ? Modified : state; }

// "Pagero Image Editor - " and what names the picture.
QString EditorCaption(bool loaded, int state, const QString &filePath);
// The question before New, Open and closing; empty for a clean picture.
QString SaveQuestion(int state, const QString &filePath);

// ---- zoom ----
// The display scale ZoomIn:ZoomOut; one side is always 1, each 1..10.
struct Zoom {
    int in = 1;
    int out = 1;
    bool operator==(const Zoom &) const = default;
};
Zoom ZoomedIn(Zoom z);
Zoom ZoomedOut(Zoom z);
inline QString ZoomLabel(Zoom z) { return QStringLiteral("%1:%2").arg(z.in).arg(z.out); }

// ---- saving ----
struct SaveFormat {
    QString listText;
    QString extension;       // with the dot
    int code;                // the imaging facade's format code
    QList<int> bits;         // bits per pixel that may be chosen
    int preselected;
};
const QList<SaveFormat> &SaveFormats();
// The format whose extension `path` has (any case), or -1.
int SaveFormatOfPath(const QString &path);
int SaveFormatOfCode(int code);
// Saving to the same file: 22 for a name ending in exactly ".jpg", otherwise 2.
int SameFileQualityFactor(const QString &path);
// The quality factor of the save dialog's slider (10 small .. 100 best): 100 gives 2, 10 gives 229.
inline int QualityFactorOfSlider(int slider) { return (100 - slider) * 253 / 100 + 2; }
// `name` with its extension replaced by `extension` (added when it has none).
QString WithExtension(const QString &name, const QString &extension);
// An icon can only be saved from an icon: the refusal text, or empty when the save may go on.
QString IconRefusal(const QString &currentPath, const QString &chosenPath);

// ---- the editor parameters file "~evEPa.~ev" ----
struct EditorParams {
    bool toolbarVisible = true;
    int toolbarDock = 2;   // 1 top, 2 bottom
};
inline const QString kEditorParamsFile = QStringLiteral("~evEPa.~ev");
// Reads the five bytes; defaults for a missing, short or out-of-range file.
EditorParams ReadEditorParams(const QString &path);
bool WriteEditorParams(const QString &path, const EditorParams &params);

// ---- dialogs ----
// The spatial filter number of a family tab (0 Emboss, 1 Gradient, 2 Laplacian, 3 Sobel, 4 Prewitt,
// 5 Line Segment, 6 Shift and Difference) and a direction (0 "None", then 1..); -1 for "None".
int SpatialFilterNumber(int family, int direction);

// Where the add-text box of w x h goes on a W x H picture (2-pixel margin), from the position
// list index (0 Manual, 1 Top Left, ..., 9 Bottom Center); Manual keeps (x, y).
void PlaceText(int position, int W, int H, int w, int h, int &x, int &y);

} // namespace pagero::editor
