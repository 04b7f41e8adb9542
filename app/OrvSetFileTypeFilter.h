#pragma once
// The file type filter dialog: a list of file types (description and mask), the folder's files that
// match the chosen type, and their count. The main window presets it with the album folder and the
// current mask and, after OK, compares Mask() with its own.
#include <QDialog>
#include <QList>
#include <QPair>
#include <QString>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace pagero {

class TSetFileTypeFilter_Fm : public QDialog {
    Q_OBJECT
public:
    explicit TSetFileTypeFilter_Fm(QWidget *parent = nullptr);

    // (description, mask) of every entry of the type list, in order.
    static const QList<QPair<QString, QString>> &Filters();

    // Shows `folder` and selects the entry whose mask equals `mask` (searching from the last entry to
    // the first; the first entry when none matches), then lists the matching files.
    void Preset(const QString &folder, const QString &mask);
    void SetFolder(const QString &folder);
    QString Folder() const { return folder_; }
    QString Mask() const;              // the mask of the selected entry
    int SelectedFileCount() const;     // the number of files listed

    QLabel *StaticText1 = nullptr;     // the folder name
    QComboBox *FilterComboBox1 = nullptr;
    QListWidget *FileListBox1 = nullptr;
    QLabel *Label1 = nullptr;          // "File Type :"
    QLabel *Label2 = nullptr;          // "Total number of selected files:"
    QLabel *Label3 = nullptr;          // "Folder"
    QLabel *FileCount = nullptr;       // the number beside Label2
    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

private:
    void refreshList();

    QString folder_;
};

} // namespace pagero
