#include "commands/OrvOpenDlg.h"
#include "core/book/PageList.h"
#include "core/common/MyLib.h"
#include "platform/Prompter.h"
#include "platform/imaging/Imaging.h"
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStorageInfo>
#include <QTimer>
#include <QVBoxLayout>

namespace pagero {

namespace {

struct FilterEntry { const char *description; const char *mask; };
const FilterEntry kFilters[] = {
    {"All Acceptable Formats", kDefaultFilterMask},
    {"BMP   (Windows Bitmap)", "*.bmp"},
    {"JPEG  (Interchange Format)", "*.jpg"},
    {"PCX    (ZSoft PCX)", "*.pcx"},
    {"WMF  (Windows Meta File)", "*.wmf"},
    {"ICO     (Windows Icon)", "*.ico"},
    {"PCD   (Kodak PhotoCD)", "*.pcd"},
    {"GIF     (CompuServe GIF)", "*.gif"},
    {"TIFF   (CCITT)", "*.tif"},
    {"PNG   (Portable Network Graphics)", "*.png"},
    {"PSD   (Photoshop PSD)", "*.psd"},
    {"WAV  (Sound)", "*.wav"},
    {"MID    (Midi Music)", "*.mid"},
    {"AVI     (MOVIE)", "*.avi"},
};

struct ModeText { const char *caption; const char *ok; };
const ModeText kModes[] = {
    {" Create a New Folder", "&NewFolder"},
    {" Open Folder", "&OpenFolder"},
    {" Open File", "&OpenFile"},
    {" Select an image file to copy to the current folder.", "Copy&From"},
    {" Select the folder to copy the image file into.", "&CopyTo"},
    {" Select the folder to move the image file into.", "&MoveTo"},
    {"  Rename image file.", "&RenameFile"},
    {" Select an image file to delete.", "&DeleteFile"},
    {" Select the folder to be deleted.", "&DeleteFolder"},
};

constexpr int kHistoryMax = 12;
const QString kParentEntry = QStringLiteral("..");

} // namespace

TOpenDlg::TOpenDlg(QWidget *parent) : QDialog(parent)
{
    setObjectName("OpenDlg");
    setFixedSize(511, 371);
    setWindowFlag(Qt::WindowStaysOnTopHint);

    stxFolder = new QLabel("Folder Name", this);
    cmbFolderName = new QComboBox(this);
    cmbFolderName->setObjectName("cmbFolderName");
    cmbFolderName->setEditable(true);
    cmbFolderName->setInsertPolicy(QComboBox::NoInsert);
    DirectoryListBox1 = new QListWidget(this);
    DirectoryListBox1->setObjectName("DirectoryListBox1");
    DriveComboBox1 = new QComboBox(this);
    DriveComboBox1->setObjectName("DriveComboBox1");
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady()) DriveComboBox1->addItem(volume.rootPath());
    if (DriveComboBox1->findText("/") < 0) DriveComboBox1->insertItem(0, "/");
    SpeedButton1 = new QPushButton("Browse", this);
    SpeedButton1->setObjectName("SpeedButton1");

    stxFileName = new QLabel("File Name", this);
    edFileName = new QLineEdit(this);
    edFileName->setObjectName("edFileName");
    FileListBox1 = new QListWidget(this);
    FileListBox1->setObjectName("FileListBox1");
    FilterComboBox1 = new QComboBox(this);
    FilterComboBox1->setObjectName("FilterComboBox1");
    for (const FilterEntry &f : kFilters) FilterComboBox1->addItem(f.description, QString(f.mask));
    auto *fileTypeLabel = new QLabel("File Type", this);

    Preview = new QLabel(this);
    Preview->setObjectName("Preview");
    Preview->setFixedSize(120, 90);
    Preview->setAlignment(Qt::AlignCenter);
    Preview->setStyleSheet("background-color: #C0C0C0");
    Edit1 = new QLineEdit(this);
    Edit2 = new QLineEdit(this);
    Edit1->setReadOnly(true);
    Edit2->setReadOnly(true);
    Label1 = new QLabel(this);
    Label2 = new QLabel(this);
    Label3 = new QLabel(this);
    Button1 = new QPushButton(this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    BitBtn1 = new QPushButton("&Cancel", this);
    BitBtn1->setObjectName("BitBtn1");
    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    Timer1->setInterval(100);

    auto *grid = new QGridLayout;
    grid->addWidget(stxFolder, 0, 0);
    grid->addWidget(stxFileName, 0, 1);
    grid->addWidget(cmbFolderName, 1, 0);
    grid->addWidget(edFileName, 1, 1);
    grid->addWidget(DirectoryListBox1, 2, 0);
    grid->addWidget(FileListBox1, 2, 1);
    auto *driveRow = new QHBoxLayout;
    driveRow->addWidget(DriveComboBox1, 1);
    driveRow->addWidget(SpeedButton1);
    grid->addLayout(driveRow, 3, 0);
    auto *typeRow = new QHBoxLayout;
    typeRow->addWidget(fileTypeLabel);
    typeRow->addWidget(FilterComboBox1, 1);
    grid->addLayout(typeRow, 3, 1);
    auto *info = new QVBoxLayout;
    info->addWidget(Label1);
    info->addWidget(Label2);
    info->addWidget(Label3);
    info->addWidget(Edit1);
    info->addWidget(Edit2);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(Preview);
    bottom->addLayout(info, 1);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(BitBtn1);
    buttons->addStretch();
    bottom->addLayout(buttons);
    auto *outer = new QVBoxLayout(this);
    outer->addLayout(grid, 1);
    outer->addLayout(bottom);

    connect(Button1, &QPushButton::clicked, this, &TOpenDlg::Button1Click);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
    connect(DirectoryListBox1, &QListWidget::itemActivated, this, &TOpenDlg::directoryActivated);
    connect(DirectoryListBox1, &QListWidget::itemDoubleClicked, this, &TOpenDlg::directoryActivated);
    connect(FileListBox1, &QListWidget::itemClicked, this, &TOpenDlg::fileClicked);
    connect(FilterComboBox1, &QComboBox::currentIndexChanged, this, [this] { refreshLists(); });
    connect(cmbFolderName, &QComboBox::activated, this, &TOpenDlg::folderBoxChosen);
    // Enter in the folder or name box reaches the default button (OK); Escape is Cancel.
    connect(edFileName, &QLineEdit::textEdited, this, [this](const QString &text) {
        const QString name = QFileInfo(text).fileName();
        if (name != text) edFileName->setText(name);
        SelectedPath = JoinPath(folder_, name);
    });
    connect(DriveComboBox1, &QComboBox::activated, this, [this](int i) { SetFolder(DriveComboBox1->itemText(i)); });
    connect(SpeedButton1, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(this, QString(), folder_);
        if (!file.isEmpty()) SetFolder(QFileInfo(file).absolutePath());
    });
    connect(Timer1, &QTimer::timeout, this, [this] {
        refreshInfo();
        if (QListWidgetItem *item = FileListBox1->currentItem()) previewFile(QDir(folder_).filePath(item->text()));
    });

    folder_ = QDir::currentPath();
    refreshLists();
}

QString TOpenDlg::Mask() const
{
    return FilterComboBox1->currentData().toString();
}

void TOpenDlg::SetMask(const QString &mask)
{
    const int i = FilterComboBox1->findData(mask);
    FilterComboBox1->setCurrentIndex(i < 0 ? 0 : i);
}

void TOpenDlg::SetFolder(const QString &path)
{
    if (!QFileInfo(path).isDir()) return;
    folder_ = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    FilterComboBox1->blockSignals(true);
    FilterComboBox1->setCurrentIndex(0);
    FilterComboBox1->blockSignals(false);
    refreshLists();
}

bool TOpenDlg::ExecuteMode(int mode, bool doIt)
{
    Mode = qBound(0, mode, 8);
    DoIt = doIt;
    applyMode();
    return exec() == QDialog::Accepted;
}

void TOpenDlg::applyMode()
{
    setWindowTitle(kModes[Mode].caption);
    Button1->setText(kModes[Mode].ok);
    FilterComboBox1->blockSignals(true);
    FilterComboBox1->setCurrentIndex(0);
    FilterComboBox1->blockSignals(false);
    refreshLists();
    for (QWidget *w : std::initializer_list<QWidget *>{cmbFolderName, DriveComboBox1, DirectoryListBox1,
                                                      FileListBox1, edFileName, FilterComboBox1})
        w->setEnabled(true);
    stxFolder->setText("Folder Name");
    stxFileName->setText("File Name");
    edFileName->clear();
    SelectedPath.clear();
    const QString sourceName = QFileInfo(SourceFile).fileName();
    QWidget *focus = nullptr;
    switch (Mode) {
    case NewFolder:
        stxFolder->setText("New Folder");
        cmbFolderName->setEditText("New Folder");
        edFileName->setEnabled(false);
        FileListBox1->setEnabled(false);
        break;
    case OpenFolder:
    case DeleteFolder:
        edFileName->setEnabled(false);
        break;
    case OpenFile:
        focus = edFileName;
        break;
    case CopyFrom:
        stxFileName->setText("New File");
        edFileName->setEnabled(false);
        break;
    case CopyTo:
    case MoveTo:
        stxFileName->setText("New File");
        edFileName->setText(sourceName);
        FileListBox1->setEnabled(false);
        break;
    case RenameFile:
        stxFileName->setText("New Name");
        edFileName->setText(sourceName);
        for (QWidget *w : std::initializer_list<QWidget *>{cmbFolderName, DriveComboBox1, DirectoryListBox1, FileListBox1})
            w->setEnabled(false);
        focus = edFileName;
        break;
    case DeleteFile:
        edFileName->setText(sourceName);
        break;
    }
    if (!edFileName->text().isEmpty()) SelectedPath = JoinPath(folder_, edFileName->text());
    if (focus) focus->setFocus();
}

void TOpenDlg::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Edit1->clear();
    Edit2->clear();
    Timer1->start();
}

void TOpenDlg::refreshLists()
{
    DirectoryListBox1->clear();
    const QDir dir(folder_);
    if (!dir.isRoot()) DirectoryListBox1->addItem(kParentEntry);
    const QStringList subs = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    DirectoryListBox1->addItems(subs);
    FileListBox1->clear();
    FileListBox1->addItems(ListMatchingFiles(folder_, Mask()));
    refreshInfo();
}

void TOpenDlg::refreshInfo()
{
    qint64 total = 0;
    for (int i = 0; i < FileListBox1->count(); ++i)
        total += FileSizeOf(QDir(folder_).filePath(FileListBox1->item(i)->text()));
    Label1->setText("No. of Files: " + QString::number(FileListBox1->count()) + "   Size: "
                    + FileSizeText(total, false));
    const int subFolders = DirectoryListBox1->count()
                           - (DirectoryListBox1->count() && DirectoryListBox1->item(0)->text() == kParentEntry);
    Label2->setText("Sub-Folders: " + QString::number(subFolders));
    Label3->setText("Disk Free Space: " + FileSizeText(QStorageInfo(folder_).bytesAvailable(), false));
    if (Mode != NewFolder) cmbFolderName->setEditText(folder_);
}

void TOpenDlg::directoryActivated(QListWidgetItem *item)
{
    if (!item) return;
    const QString target = item->text() == kParentEntry ? QFileInfo(folder_).absolutePath()
                                                        : QDir(folder_).filePath(item->text());
    const QString keepMask = Mask();
    SetFolder(target);
    SetMask(keepMask);
}

void TOpenDlg::fileClicked(QListWidgetItem *item)
{
    if (!item) return;
    edFileName->setText(item->text());
    SelectedPath = JoinPath(folder_, item->text());
    if (Mode >= CopyTo && Mode <= RenameFile) return;
    previewFile(SelectedPath);
}

void TOpenDlg::previewFile(const QString &path)
{
    const QSize box = Preview->size();
    imaging::LoadResult r = imaging::Load(path, box);
    if (!r.ok()) {
        Preview->clear();
        return;
    }
    Preview->setPixmap(QPixmap::fromImage(r.image));
    Edit1->setText(" File: " + QFileInfo(path).fileName());
    Edit2->setText(" Size: " + QString::number(r.originalSize.width()) + " x "
                   + QString::number(r.originalSize.height()) + ",   " + FileSizeText(FileSizeOf(path), false));
}

void TOpenDlg::folderBoxChosen(int index)
{
    const QString folder = cmbFolderName->itemText(index);
    if (!QFileInfo(folder).isDir()) {
        History.removeAll(folder);
        cmbFolderName->removeItem(index);
        cmbFolderName->setEditText(folder_);
        return;
    }
    SetFolder(folder);
}

void TOpenDlg::pushHistory(const QString &folder)
{
    History.removeAll(folder);
    History.prepend(folder);
    while (History.size() > kHistoryMax) History.removeLast();
    cmbFolderName->blockSignals(true);
    cmbFolderName->clear();
    cmbFolderName->addItems(History);
    cmbFolderName->setEditText(folder_);
    cmbFolderName->blockSignals(false);
}

void TOpenDlg::Button1Click()
{
    bool ok = false;
    switch (Mode) {
    case NewFolder: ok = checkNewFolder(); break;
    case OpenFolder: ok = checkOpenFolder(); break;
    case OpenFile: ok = checkOpenFile(); break;
    case CopyFrom: ok = checkCopyFrom(); break;
    case CopyTo:
    case MoveTo: ok = checkCopyOrMoveTo(); break;
    case RenameFile: ok = checkRename(); break;
    case DeleteFile: ok = checkDeleteFile(); break;
    case DeleteFolder: ok = checkDeleteFolder(); break;
    default: break;
    }
    if (!ok) return;
    pushHistory(Mode == NewFolder ? NewFolderPath : folder_);
    accept();
}

} // namespace pagero
