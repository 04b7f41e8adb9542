#include "editor/OrvSaveDlg.h"
#include "core/common/MyLib.h"
#include "core/editor/EditorRules.h"
#include "platform/Prompter.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

namespace pagero::editor {

TSaveDlg::TSaveDlg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("  Save As"));
    auto *layout = new QVBoxLayout(this);
    auto *folderRow = new QHBoxLayout;
    Folder = new QLineEdit;
    auto *browse = new QPushButton(QStringLiteral("Browse"));
    folderRow->addWidget(Folder, 1);
    folderRow->addWidget(browse);
    layout->addLayout(folderRow);
    Files = new QListWidget;
    layout->addWidget(Files);
    auto *form = new QFormLayout;
    FileName = new QLineEdit;
    FileType = new QComboBox;
    for (const SaveFormat &f : SaveFormats()) FileType->addItem(f.listText);
    form->addRow(QStringLiteral("File Name "), FileName);
    form->addRow(QStringLiteral("File Type "), FileType);
    layout->addLayout(form);

    BitsGroup = new QGroupBox;
    auto *bitsRow = new QHBoxLayout(BitsGroup);
    Bits = new QButtonGroup(this);
    for (int b : {1, 4, 8, 16, 24, 32}) {
        auto *r = new QRadioButton(QString::number(b));
        Bits->addButton(r, b);
        bitsRow->addWidget(r);
    }
    layout->addWidget(BitsGroup);
    QualityGroup = new QGroupBox;
    auto *q = new QVBoxLayout(QualityGroup);
    Quality = new QSlider(Qt::Horizontal);
    Quality->setRange(10, 100);
    Quality->setValue(90);
    q->addWidget(Quality);
    q->addWidget(new QLabel(QStringLiteral("High Compression  --->  High Quality")));
    layout->addWidget(QualityGroup);

    auto *buttons = new QHBoxLayout;
    auto *save = new QPushButton(QStringLiteral("&Save"));
    auto *cancel = new QPushButton(QStringLiteral("&Cancel"));
    save->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(save, &QPushButton::clicked, this, &TSaveDlg::SaveClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString d = QFileDialog::getExistingDirectory(this, QString(), Folder->text());
        if (!d.isEmpty()) { Folder->setText(d); RefreshFiles(); }
    });
    connect(Folder, &QLineEdit::editingFinished, this, &TSaveDlg::RefreshFiles);
    connect(Files, &QListWidget::itemClicked, this, [this](QListWidgetItem *i) { FileName->setText(i->text()); });
    connect(FileType, &QComboBox::currentIndexChanged, this, &TSaveDlg::TypeChanged);
    connect(Bits, &QButtonGroup::idClicked, this, &TSaveDlg::RefreshTitles);
    connect(Quality, &QSlider::valueChanged, this, &TSaveDlg::RefreshTitles);
}

void TSaveDlg::Start(const QString &folder, const QString &name)
{
    Folder->setText(folder);
    FileName->setText(name);
    const int type = SaveFormatOfPath(name);
    const QSignalBlocker block(FileType);
    FileType->setCurrentIndex(type < 0 ? 1 : type);   // JPEG for a name of no known type
    TypeChanged(FileType->currentIndex());
    if (type >= 0) FileName->setText(name);   // keep the name's own spelling of the extension
}

void TSaveDlg::TypeChanged(int index)
{
    const SaveFormat &f = SaveFormats()[index];
    for (QAbstractButton *b : Bits->buttons()) b->setEnabled(f.bits.contains(Bits->id(b)));
    Bits->button(f.preselected)->setChecked(true);
    const bool jpeg = f.code == 10;
    QualityGroup->setEnabled(jpeg);
    QualityGroup->setStyleSheet(jpeg ? QString() : QStringLiteral("QGroupBox { color: #808080; }"));
    if (!FileName->text().isEmpty()) FileName->setText(WithExtension(FileName->text(), f.extension));
    RefreshTitles();
    RefreshFiles();
}

void TSaveDlg::RefreshTitles()
{
    BitsGroup->setTitle(QStringLiteral(" Bits Per Pixel = %1 ").arg(BitsPerPixel()));
    QualityGroup->setTitle(QStringLiteral(" Quality Factor = %1 % ").arg(Quality->value()));
}

void TSaveDlg::RefreshFiles()
{
    Files->clear();
    const QString pattern = QStringLiteral("*") + SaveFormats()[FileType->currentIndex()].extension;
    const QDir dir(Folder->text());
    if (dir.exists()) Files->addItems(dir.entryList({pattern}, QDir::Files, QDir::Name | QDir::IgnoreCase));
}

QString TSaveDlg::ChosenPath() const { return QDir(Folder->text()).filePath(FileName->text().trimmed()); }
int TSaveDlg::FormatCode() const { return SaveFormats()[FileType->currentIndex()].code; }
int TSaveDlg::BitsPerPixel() const { return Bits->checkedId(); }
int TSaveDlg::QualityFactor() const { return QualityFactorOfSlider(Quality->value()); }

void TSaveDlg::SaveClick()
{
    Prompter &ask = ThePrompter();
    if (FileName->text().trimmed().isEmpty()) {
        ask.Warn(QStringLiteral("Please enter a file name."));
        return;
    }
    const QString path = ChosenPath();
    const QFileInfo fi(path);
    if (fi.exists()) {
        // The old file stays until the new one is complete: the save replaces it atomically.
        if (!ask.Confirm(QStringLiteral("A file with the same name already exists. Overwrite it?\n\r") + path)) return;
        if (IsReadOnly(path) && !ask.Confirm(QStringLiteral("This is a ReadOnly File. Replace it anyway?\n\r") + path))
            return;
    }
    accept();
}

} // namespace pagero::editor
