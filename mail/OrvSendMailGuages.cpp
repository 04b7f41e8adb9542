#include "mail/OrvSendMailGuages.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace pagero {

TSendMailProcess_Fm::TSendMailProcess_Fm(QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName("SendMailProcess_Fm");
    setWindowTitle(QStringLiteral("Sending E-Mail"));
    auto *layout = new QVBoxLayout(this);
    Label1 = new QLabel(this);
    Gauge1 = new QProgressBar(this);
    Gauge1->setRange(0, 100);
    btnStop = new QPushButton(QStringLiteral("Stop"), this);
    layout->addWidget(Label1);
    layout->addWidget(Gauge1);
    layout->addWidget(btnStop, 0, Qt::AlignHCenter);
    resize(320, 110);
    connect(btnStop, &QPushButton::clicked, this, [this] {
        emit stopRequested();
        hide();
    });
}

void TSendMailProcess_Fm::ShowFor(bool filesAttached)
{
    Gauge1->setValue(0);
    Gauge1->setVisible(filesAttached);
    Label1->clear();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
}

void TSendMailProcess_Fm::SetProgress(const QString &fileName, int percent)
{
    Label1->setText(fileName);
    Gauge1->setValue(percent);
}

} // namespace pagero
