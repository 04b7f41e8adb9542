// The recently used folders and the captions of their menu items.
#include "core/book/MruList.h"

#include <QFileInfo>

namespace pagero {

void AddToMRU(QStringList &mru, const QString &folder)
{
    mru.prepend(folder);
}

void RemoveFromMRU(QStringList &mru, const QString &folder)
{
    for (qsizetype i = 0; i < mru.size(); ++i) {
        if (QString::compare(mru[i], folder, Qt::CaseInsensitive) == 0) {
            mru.removeAt(i);
            return;
        }
    }
}

QStringList RefreshedMRU(const QStringList &mru)
{
    QStringList kept;
    for (const QString &folder : mru)
        if (!folder.isEmpty() && QFileInfo(folder).isDir()) kept.append(folder);
    return kept;
}

QStringList MenuCaptions(const QStringList &mru)
{
    QStringList captions;
    for (qsizetype i = 0; i < mru.size() && i < kMruMenuItems; ++i) {
        QString folder = mru[i];
        folder.replace(QLatin1String("&"), QLatin1String("&&"));
        captions.append(QLatin1Char('&') + QString::number(i + 1) + QLatin1String(". ") + folder);
    }
    return captions;
}

QString FolderFromCaption(const QString &caption)
{
    const qsizetype dot = caption.indexOf(QLatin1Char('.'));
    if (dot < 0) return caption;
    QString folder = caption.mid(dot + 2);
    folder.replace(QLatin1String("&&"), QLatin1String("&"));
    return folder;
}

} // namespace pagero
