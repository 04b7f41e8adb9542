#pragma once
// The text files beside an album (bookmark register, comment store, album name) are lists of UTF-8
// lines ended by CR LF.
#include <QByteArray>
#include <QStringList>

namespace pagero {

// CR LF, a lone LF or a lone CR end a line; a last line without an end counts, and a final line end
// does not start another (empty) line. Empty lines inside the text are kept.
QStringList SplitTextLines(const QByteArray &bytes);
// Every line followed by CR LF.
QByteArray JoinTextLines(const QStringList &lines);

} // namespace pagero
