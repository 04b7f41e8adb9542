#include "platform/system/AlbumPlaces.h"
#include "platform/system/ProgramFolder.h"

#include <QSettings>
#include <algorithm>

namespace pagero::sys {

namespace {
const QString kSection = QStringLiteral("AlbumPlaces");
}

PlaceRegister ReadAlbumPlaces()
{
    QSettings settings(RegistryFilePath(), QSettings::IniFormat);
    // The count comes from the file: held to the register's bound before anything is read.
    const int count = std::clamp(settings.beginReadArray(kSection), 0, PlaceRegister::kMaxAlbums);
    std::vector<PlaceRegister::Entry> entries;
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        const QString folder = settings.value(QStringLiteral("Folder")).toString();
        const std::optional<BookPlace> place = PlaceFromText(settings.value(QStringLiteral("Place")).toString());
        if (!folder.isEmpty() && place) entries.push_back({folder, *place});
    }
    settings.endArray();
    return PlaceRegister(std::move(entries));
}

bool WriteAlbumPlaces(const PlaceRegister &places)
{
    QSettings settings(RegistryFilePath(), QSettings::IniFormat);
    settings.remove(kSection);
    settings.beginWriteArray(kSection, int(places.Entries().size()));
    int i = 0;
    for (const PlaceRegister::Entry &e : places.Entries()) {
        settings.setArrayIndex(i++);
        settings.setValue(QStringLiteral("Folder"), e.folder);
        settings.setValue(QStringLiteral("Place"), PlaceToText(e.place));
    }
    settings.endArray();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

std::optional<BookPlace> RememberedPlace(const QString &folder)
{
    return ReadAlbumPlaces().Find(folder);
}

bool RememberPlace(const QString &folder, const BookPlace &place)
{
    PlaceRegister places = ReadAlbumPlaces();
    places.Remember(folder, place);
    return WriteAlbumPlaces(places);
}

} // namespace pagero::sys
