#include "commands/OrvMMFileInfo_Ut.h"

#include "common/Fonts.h"
#include "core/common/MyLib.h"
#include "core/motion/MediaTexts.h"
#include "platform/media/MediaLength.h"

#include <QFileInfo>
#include <QFormLayout>
#include <QLineEdit>
#include <QLocale>
#include <QPromise>
#include <QPushButton>
#include <QThreadPool>
#include <QVBoxLayout>

namespace pagero {

TMMFInfo_Fm::TMMFInfo_Fm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("MMFInfo_Fm"));
    setWindowTitle(QStringLiteral("  MultiMedia file Information"));
    setFont(BookFont(8));
    auto *form = new QFormLayout;
    const auto line = [this, form](const char *label) {
        auto *edit = new QLineEdit(this);
        edit->setReadOnly(true);
        edit->setMinimumWidth(280);
        form->addRow(QString::fromLatin1(label), edit);
        return edit;
    };
    Edit1 = line("File Name:");
    TypeEdit = line("File Type:");
    SizeEdit = line("File  Size:");
    TimeEdit = line("Play Time:");
    DateEdit = line("File Date:");
    OkBtn = new QPushButton(QStringLiteral("OK"), this);
    OkBtn->setDefault(true);
    auto *column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addWidget(OkBtn, 0, Qt::AlignHCenter);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(&length_, &QFutureWatcherBase::finished, this, [this] {
        if (length_.future().resultCount() > 0) TimeEdit->setText(PlayTime(length_.result()));
    });
}

QString TMMFInfo_Fm::PlayTime(qint64 lengthMs)
{
    return lengthMs < 0 ? QStringLiteral("Unknow") : PlayTimeText(lengthMs);
}

void TMMFInfo_Fm::Fill(const QString &path, qint64 lengthMs)
{
    const QFileInfo info(path);
    Edit1->setText(info.fileName());
    TypeEdit->setText(info.suffix().toUpper() + QStringLiteral(" File"));
    SizeEdit->setText(FileSizeTextOf(path));
    DateEdit->setText(QLocale::system().toString(FileDateTimeOf(path), QLocale::ShortFormat));
    if (lengthMs >= 0) {
        length_.setFuture(QFuture<qint64>());
        TimeEdit->setText(PlayTime(lengthMs));
        return;
    }
    TimeEdit->clear();
    auto promise = std::make_shared<QPromise<qint64>>();
    length_.setFuture(promise->future());
    QThreadPool::globalInstance()->start([promise, path] {
        promise->start();
        promise->addResult(media::MediaLengthMs(path));
        promise->finish();
    });
}

} // namespace pagero
