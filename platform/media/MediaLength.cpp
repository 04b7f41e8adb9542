#include "platform/media/MediaLength.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QtEndian>
#include <algorithm>
#include <map>

namespace pagero::media {
namespace {

constexpr qint64 kMaxMediaHeaderBytes = qint64(64) << 20;

quint32 Le32(const QByteArray &b, qint64 at) { return qFromLittleEndian<quint32>(b.constData() + at); }
quint32 Be32(const QByteArray &b, qint64 at) { return qFromBigEndian<quint32>(b.constData() + at); }
quint16 Be16(const QByteArray &b, qint64 at) { return qFromBigEndian<quint16>(b.constData() + at); }

QByteArray ReadStart(const QString &path, qint64 maxBytes)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.read(maxBytes);
}

// One MIDI track: its tempo changes (tick -> microseconds per quarter) and its last tick.
struct TrackScan {
    qint64 endTick = 0;
    bool ok = true;
};

TrackScan ScanTrack(const QByteArray &b, qint64 pos, qint64 end, std::multimap<qint64, quint32> &tempos)
{
    TrackScan scan;
    qint64 tick = 0;
    int status = 0;
    auto readVar = [&](qint64 &value) {
        value = 0;
        for (int i = 0; i < 4; ++i) {
            if (pos >= end) return false;
            const quint8 c = quint8(b[pos++]);
            value = (value << 7) | (c & 0x7F);
            if (!(c & 0x80)) return true;
        }
        return false;
    };
    while (pos < end) {
        qint64 delta;
        if (!readVar(delta)) { scan.ok = false; break; }
        tick += delta;
        if (pos >= end) break;
        quint8 c = quint8(b[pos]);
        if (c == 0xFF) {                                   // meta event
            if (pos + 2 > end) { scan.ok = false; break; }
            const quint8 type = quint8(b[pos + 1]);
            pos += 2;
            qint64 len;
            if (!readVar(len) || pos + len > end) { scan.ok = false; break; }
            if (type == 0x51 && len == 3)
                tempos.emplace(tick, (quint32(quint8(b[pos])) << 16) | (quint32(quint8(b[pos + 1])) << 8) | quint8(b[pos + 2]));
            pos += len;
            if (type == 0x2F) break;                       // end of track
        } else if (c == 0xF0 || c == 0xF7) {               // system exclusive
            ++pos;
            qint64 len;
            if (!readVar(len) || pos + len > end) { scan.ok = false; break; }
            pos += len;
        } else {
            if (c & 0x80) { status = c; ++pos; }           // else running status
            if (!status) { scan.ok = false; break; }
            const int kind = status & 0xF0;
            pos += (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
        }
    }
    scan.endTick = tick;
    return scan;
}

} // namespace

qint64 WaveLengthMs(const QByteArray &b, qint64 fileSize)
{
    const qint64 available = fileSize >= b.size() ? fileSize : b.size();
    if (b.size() < 12 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE") return -1;
    quint32 byteRate = 0;
    qint64 pos = 12;
    while (pos + 8 <= b.size()) {
        const QByteArray id = b.mid(pos, 4);
        const qint64 size = Le32(b, pos + 4);
        const qint64 body = pos + 8;
        if (id == "fmt ") {
            if (size < 16 || body + 16 > b.size()) return -1;
            byteRate = Le32(b, body + 8);
        } else if (id == "data") {
            if (byteRate == 0) return -1;
            // A truncated file plays what it holds.
            const qint64 held = std::max<qint64>(0, std::min<qint64>(size, available - body));
            return held * 1000 / byteRate;
        }
        pos = body + size + (size & 1);
    }
    return -1;
}

qint64 MidiLengthMs(const QByteArray &b)
{
    if (b.size() < 14 || !b.startsWith("MThd") || Be32(b, 4) < 6) return -1;
    const int tracks = Be16(b, 10);
    const quint16 division = Be16(b, 12);
    if (division == 0) return -1;
    std::multimap<qint64, quint32> tempos;
    qint64 endTick = 0;
    qint64 pos = 8 + qint64(Be32(b, 4));
    for (int t = 0; t < tracks && pos + 8 <= b.size(); ++t) {
        const qint64 len = Be32(b, pos + 4);
        const qint64 start = pos + 8;
        const qint64 end = std::min<qint64>(start + len, b.size());
        if (b.mid(pos, 4) == "MTrk") endTick = std::max(endTick, ScanTrack(b, start, end, tempos).endTick);
        pos = start + len;
    }
    if (division & 0x8000) {                               // SMPTE time: frames per second x ticks per frame
        const int fps = -int(qint8(division >> 8));
        const int perFrame = division & 0xFF;
        if (fps <= 0 || perFrame == 0) return -1;
        return endTick * 1000 / (qint64(fps) * perFrame);
    }
    // Ticks per quarter note, with tempo changes (default 120 beats per minute).
    double micros = 0;
    qint64 tick = 0;
    quint32 tempo = 500000;
    for (const auto &[at, value] : tempos) {
        if (at >= endTick) break;
        micros += double(at - tick) * tempo / division;
        tick = at;
        tempo = value;
    }
    micros += double(endTick - tick) * tempo / division;
    return qint64(micros / 1000.0 + 0.5);
}

qint64 VideoLengthMs(const QString &path)
{
    const QString ffprobe = QStandardPaths::findExecutable(QStringLiteral("ffprobe"));
    if (ffprobe.isEmpty() || !QFileInfo(path).isFile()) return -1;
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(ffprobe, {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                            QStringLiteral("format=duration"), QStringLiteral("-of"),
                            QStringLiteral("default=noprint_wrappers=1:nokey=1"), QStringLiteral("file:") + path});
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(2000);
        return -1;
    }
    bool ok = false;
    const double seconds = QString::fromLatin1(process.readAllStandardOutput()).trimmed().toDouble(&ok);
    return ok && seconds >= 0 ? qint64(seconds * 1000.0 + 0.5) : -1;
}

qint64 MediaLengthMs(const QString &path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("wav")) return WaveLengthMs(ReadStart(path, kMaxMediaHeaderBytes), QFileInfo(path).size());
    if (ext == QLatin1String("mid") || ext == QLatin1String("midi"))
        return MidiLengthMs(ReadStart(path, kMaxMediaHeaderBytes));
    return VideoLengthMs(path);
}

} // namespace pagero::media
