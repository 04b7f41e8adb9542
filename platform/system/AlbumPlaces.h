#pragma once
// Each recent album's place (where it was closed), kept in the per-user registry file beside the
// other per-user values, not in the settings files of the program folder. The register holds the
// most recent albums only, so the file stays small.
#include "core/book/BookPlace.h"
#include <optional>

namespace pagero::sys {

PlaceRegister ReadAlbumPlaces();
// Writes the register whole; false when the registry file could not be written.
bool WriteAlbumPlaces(const PlaceRegister &places);

std::optional<BookPlace> RememberedPlace(const QString &folder);
bool RememberPlace(const QString &folder, const BookPlace &place);

} // namespace pagero::sys
