// Pictures stand upright by their orientation tag (EXIF, or TIFF's own tag, which uses the same eight
// values): the tag says how the stored rows map onto the picture as it is meant to be seen.
#include "platform/imaging/Decoders.h"

#include <QTransform>
#include <libexif/exif-data.h>

namespace pagero::imaging::detail {

bool SwapsSides(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}

QSize UprightSize(QSize stored, int orientation)
{
    return SwapsSides(orientation) ? stored.transposed() : stored;
}

QSize StoredSize(QSize upright, int orientation)
{
    return SwapsSides(orientation) ? upright.transposed() : upright;
}

QImage Oriented(const QImage &image, int orientation)
{
    switch (orientation) {
    case 2: return image.mirrored(true, false);
    case 3: return image.mirrored(true, true);
    case 4: return image.mirrored(false, true);
    case 5: return image.transformed(QTransform().rotate(90)).mirrored(true, false);   // transpose
    case 6: return image.transformed(QTransform().rotate(90));
    case 7: return image.transformed(QTransform().rotate(270)).mirrored(true, false);  // transverse
    case 8: return image.transformed(QTransform().rotate(270));
    default: return image;
    }
}

int ExifOrientation(const char *exif, qsizetype length)
{
    if (!exif || length <= 6) return 1;
    ExifData *data = exif_data_new();
    if (!data) return 1;
    // Read only: no repairs of the data and no interpretation of makers' notes.
    exif_data_unset_option(data, EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_set_option(data, EXIF_DATA_OPTION_DONT_CHANGE_MAKER_NOTE);
    exif_data_load_data(data, reinterpret_cast<const unsigned char *>(exif), unsigned(std::min<qsizetype>(length, 0xFFFF)));
    int orientation = 1;
    if (ExifEntry *e = exif_content_get_entry(data->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
        e && e->format == EXIF_FORMAT_SHORT && e->components >= 1 && e->size >= 2)
        orientation = exif_get_short(e->data, exif_data_get_byte_order(data));
    exif_data_unref(data);
    return orientation >= 1 && orientation <= 8 ? orientation : 1;
}

} // namespace pagero::imaging::detail
