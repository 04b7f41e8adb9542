#pragma once
// The editor's save dialog: folder, file name, one of the nine file types, the bits per pixel the
// type allows and, for JPEG, the quality. "&Save" asks before overwriting a file (and again for a
// read-only one) but leaves the old file in place: the save itself replaces it atomically.
#include <QDialog>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QSlider;

namespace pagero::editor {

class TSaveDlg : public QDialog {
public:
    explicit TSaveDlg(QWidget *parent = nullptr);
    // Starts in `folder` with `name` (a file name without folder); the type follows its extension.
    void Start(const QString &folder, const QString &name);

    QString ChosenPath() const;
    int FormatCode() const;
    int BitsPerPixel() const;
    int QualityFactor() const;

    // Controls, for tests.
    QLineEdit *FileName;
    QLineEdit *Folder;
    QComboBox *FileType;
    QButtonGroup *Bits;
    QGroupBox *BitsGroup, *QualityGroup;
    QSlider *Quality;
    QListWidget *Files;

    // "&Save": checks the name and the overwrite questions, then closes with Save.
    void SaveClick();

private:
    void TypeChanged(int index);
    void RefreshFiles();
    void RefreshTitles();
};

} // namespace pagero::editor
