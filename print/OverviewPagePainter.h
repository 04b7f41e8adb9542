#pragma once
// One overview page as it is printed: the overview window's page without selection colours, each
// thumbnail decoded from its picture file at the printed size, then the page's frame and label.
#include <QString>

class QPainter;

namespace pagero {

struct BookGeometry;
class TOverView_Fm;

// Paints overview page `overviewPage` (1-based), which is book page `bookPage` labelled `label`, into
// (0, 0) .. (PageW, PageH) of the painter's coordinates.
void PaintOverviewForPrint(QPainter &painter, TOverView_Fm &overview, const BookGeometry &geo, int bookPage,
                           int overviewPage, const QString &label);

} // namespace pagero
