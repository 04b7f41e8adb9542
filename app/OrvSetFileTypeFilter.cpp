#include "app/OrvSetFileTypeFilter.h"

#include "common/Fonts.h"
#include "core/book/PageList.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace pagero {

const QList<QPair<QString, QString>> &TSetFileTypeFilter_Fm::Filters()
{
    static const QList<QPair<QString, QString>> filters = {
        {QStringLiteral("All Acceptable Formats"), QString::fromLatin1(kDefaultFilterMask)},
        {QStringLiteral("BMP   (Windows Bitmap)"), QStringLiteral("*.bmp")},
        {QStringLiteral("JPEG  (Interchange Format)"), QStringLiteral("*.jpg")},
        {QStringLiteral("PCX    (ZSoft PCX)"), QStringLiteral("*.pcx")},
        {QStringLiteral("WMF  (Windows Meta File)"), QStringLiteral("*.wmf")},
        {QStringLiteral("ICO     (Windows Icon)"), QStringLiteral("*.ico")},
        {QStringLiteral("PCD   (Kodak PhotoCD)"), QStringLiteral("*.pcd")},
        {QStringLiteral("GIF     (CompuServe GIF)"), QStringLiteral("*.gif")},
        {QStringLiteral("TIFF   (CCITT)"), QStringLiteral("*.tif")},
        {QStringLiteral("PNG   (Portable Network Graphics)"), QStringLiteral("*.png")},
        {QStringLiteral("PSD   (Photoshop PSD)"), QStringLiteral("*.psd")},
        {QStringLiteral("WAV  (Sound)"), QStringLiteral("*.wav")},
        {QStringLiteral("MID    (Midi Music)"), QStringLiteral("*.mid")},
        {QStringLiteral("AVI     (MOVIE)"), QStringLiteral("*.avi")},
    };
    return filters;
}

TSetFileTypeFilter_Fm::TSetFileTypeFilter_Fm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SetFileTypeFilter_Fm"));
    setWindowTitle(QStringLiteral(" Select File Type"));
    setFont(BookFont(8));

    auto label = [this](const char *name, const QString &text) {
        auto *l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    Label3 = label("Label3", QStringLiteral("Folder"));
    StaticText1 = label("StaticText1", QString());
    StaticText1->setFrameShape(QFrame::StyledPanel);
    StaticText1->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Label1 = label("Label1", QStringLiteral("File Type :"));
    Label2 = label("Label2", QStringLiteral("Total number of selected files:"));
    FileCount = label("FileCount", QStringLiteral("0"));

    FilterComboBox1 = new QComboBox(this);
    FilterComboBox1->setObjectName(QStringLiteral("FilterComboBox1"));
    for (const auto &[description, mask] : Filters()) FilterComboBox1->addItem(description, mask);

    FileListBox1 = new QListWidget(this);
    FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
    FileListBox1->setSelectionMode(QAbstractItemView::NoSelection);
    FileListBox1->setMinimumSize(260, 200);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setAutoDefault(false);

    auto *grid = new QGridLayout;
    grid->addWidget(Label3, 0, 0);
    grid->addWidget(StaticText1, 0, 1);
    grid->addWidget(Label1, 1, 0);
    grid->addWidget(FilterComboBox1, 1, 1);
    grid->setColumnStretch(1, 1);
    auto *countRow = new QHBoxLayout;
    countRow->addWidget(Label2);
    countRow->addWidget(FileCount);
    countRow->addStretch(1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto *column = new QVBoxLayout(this);
    column->addLayout(grid);
    column->addWidget(FileListBox1, 1);
    column->addLayout(countRow);
    column->addLayout(buttons);

    connect(FilterComboBox1, &QComboBox::currentIndexChanged, this, &TSetFileTypeFilter_Fm::refreshList);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TSetFileTypeFilter_Fm::Preset(const QString &folder, const QString &mask)
{
    int selected = 0;
    for (int i = FilterComboBox1->count() - 1; i >= 0; --i) {
        if (FilterComboBox1->itemData(i).toString() == mask) {
            selected = i;
            break;
        }
    }
    {
        const QSignalBlocker quiet(FilterComboBox1);
        FilterComboBox1->setCurrentIndex(selected);
    }
    SetFolder(folder);
}

void TSetFileTypeFilter_Fm::SetFolder(const QString &folder)
{
    folder_ = folder;
    StaticText1->setText(folder);
    refreshList();
}

QString TSetFileTypeFilter_Fm::Mask() const { return FilterComboBox1->currentData().toString(); }

int TSetFileTypeFilter_Fm::SelectedFileCount() const { return FileListBox1->count(); }

void TSetFileTypeFilter_Fm::refreshList()
{
    FileListBox1->clear();
    if (!folder_.isEmpty()) FileListBox1->addItems(ListMatchingFiles(folder_, Mask()));
    FileCount->setText(QString::number(FileListBox1->count()));
}

} // namespace pagero
