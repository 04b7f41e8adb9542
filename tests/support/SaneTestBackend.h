#pragma once
// A private SANE configuration: SANE_CONFIG_DIR names a folder whose dll.conf lists only SANE's
// "test" backend (or nothing), with the backend's options in test.conf. SANE reads the variable
// once per process, so every instance rewrites the files of one folder; they are read at each start.
#include <QByteArray>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QtGlobal>

namespace pagero::test {

class SaneTestBackend {
public:
    // `options` are test.conf lines ("mode" -> "Color", ...); one device, 50 dpi, 40 x 30 mm.
    explicit SaneTestBackend(QMap<QString, QString> options = {}, bool withBackend = true)
    {
        static QTemporaryDir folder;
        QTemporaryDir &dir_ = folder;
        QMap<QString, QString> conf = {{"number_of_devices", "1"}, {"resolution", "50.0"},
                                       {"br_x", "40.0"}, {"br_y", "30.0"}};
        for (auto it = options.cbegin(); it != options.cend(); ++it) conf[it.key()] = it.value();
        QFile dll(dir_.filePath("dll.conf"));
        if (dll.open(QIODevice::WriteOnly)) dll.write(withBackend ? "test\n" : "");
        QFile test(dir_.filePath("test.conf"));
        if (test.open(QIODevice::WriteOnly))
            for (auto it = conf.cbegin(); it != conf.cend(); ++it)
                test.write((it.key() + " " + it.value() + "\n").toUtf8());
        qputenv("SANE_CONFIG_DIR", dir_.path().toUtf8());
        folder_ = dir_.path();
    }
    QString Folder() const { return folder_; }

private:
    QString folder_;
};

} // namespace pagero::test
