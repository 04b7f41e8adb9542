#include "app/PlaceController.h"
#include "app/BookContext.h"
#include "app/WindowLog.h"
#include "core/book/FlipState.h"
#include "core/book/PageList.h"
#include "core/book/Settings.h"
#include "platform/system/AlbumPlaces.h"
#include "platform/system/ProgramFolder.h"

namespace pagero {

BookPlace PlaceController::Current() const
{
    return PlaceOfSpread(book_.Sections(), book_.Pages(), book_.Spread().LeftPageNo);
}

int PlaceController::PageOf(const BookPlace &place) const
{
    return PageOfPlace(book_.Sections(), book_.Pages(), place);
}

void PlaceController::RememberAlbum(const QString &folder) const
{
    // Losing a remembered place costs only a turn of pages: logged, not told.
    if (!sys::RememberPlace(folder, Current()))
        qCWarning(lcPagero) << "could not remember the place of" << folder << "in" << sys::RegistryFilePath();
}

int PlaceController::OpeningPage(const QString &folder, const QString &startFile) const
{
    if (!startFile.isEmpty()) {
        const int entry = book_.Pages().IndexOfName(startFile);
        if (entry >= 0) return book_.Sections().FirstFilePage + entry;
    }
    if (book_.Options().AutoFlipToOverview) return book_.Sections().FirstOverviewPage;
    const std::optional<BookPlace> place = sys::RememberedPlace(folder);
    return place ? PageOf(*place) : 0;
}

} // namespace pagero
