#pragma once
// A throw-away program folder, per-user config folder and album for main-window tests, and helpers
// to start the real window headless and wait for it.
#include "app/OrvTurvane.h"
#include "tests/support/ScriptedPrompter.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <optional>

namespace pagero::test {

inline void MakePicture(const QString &path, int w, int h, QColor color)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    ASSERT_TRUE(image.save(path)) << path.toStdString();
}

// Polls the event loop until `done` holds or `ms` pass.
inline bool WaitFor(const std::function<bool()> &done, int ms = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qWait(5);
    }
    return true;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        exeDir = root.filePath("Pagero");
        for (const char *sub : {"Overview", "Bookmark", "SysSound", "Samples", "BitPattern", "Help"})
            ASSERT_TRUE(QDir().mkpath(exeDir + "/" + sub));
        MakePicture(exeDir + "/Samples/sample1.png", 40, 30, Qt::red);
        MakePicture(exeDir + "/Samples/sample2.png", 40, 30, Qt::green);
        album = root.filePath("album");
        ASSERT_TRUE(QDir().mkpath(album));
        const QColor colors[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::cyan, Qt::magenta};
        for (int i = 0; i < 6; ++i)
            MakePicture(QString("%1/pic%2.png").arg(album).arg(i + 1), 60 + i, 40, colors[i]);
        other = root.filePath("other");
        ASSERT_TRUE(QDir().mkpath(other));
        MakePicture(other + "/one.png", 30, 30, Qt::black);
        qputenv("PAGERO_EXEDIR", exeDir.toUtf8());
        qputenv("PAGERO_CONFIGDIR", root.filePath("config").toUtf8());
        qputenv("PAGERO_SYSTEMDIR", root.filePath("system").toUtf8());
        savedCwd = QDir::currentPath();
    }

    void TearDown() override
    {
        if (window) {
            window->FolderChooser = [](const QString &, QString &) { return false; };
            window->close();
            window.reset();
        }
        QDir::setCurrent(savedCwd);
    }

    // Writes the settings a previous run would have left (MRU list, options).
    void WriteSettings(const std::function<void(Settings &)> &edit)
    {
        Settings s;
        edit(s);
        ASSERT_TRUE(SaveSettings(exeDir, s));
    }

    // Creates and shows the window; `chooser` answers the open-folder dialog (default: fail the test).
    TTurvane_Fm &Start(const QStringList &args = {},
                       std::function<bool(const QString &, QString &)> chooser = {})
    {
        window = std::make_unique<TTurvane_Fm>(args);
        window->FrameIntervalMs = 0;
        window->FolderChooser = chooser ? chooser : [this](const QString &preset, QString &) {
            unexpectedDialog = preset;
            return false;
        };
        window->resize(1000, 700);
        window->show();
        return *window;
    }

    // The album is open and its opening flip (if any) has landed.
    bool WaitOpen() { return WaitFor([this] { return window && window->AlbumOpen() && window->Idle(); }); }
    // Flips run on a timer: waits until the leaves have landed and the input that came meanwhile
    // has been handled.
    bool Landed() { return WaitFor([this] { return window->Idle(); }); }

    // Opens `folder` in the started window and waits for the end of its book build (thumbnails are
    // made in the background); true when the album opened.
    bool OpenAndWait(const QString &folder)
    {
        std::optional<bool> opened;
        window->OpenAlbum(folder, [&opened](bool ok) { opened = ok; });
        return WaitFor([&opened] { return opened.has_value(); }, 60000) && *opened;
    }
    // Rebuilds the book and waits for the build's end; true when it was built.
    bool RebuildAndWait()
    {
        std::optional<bool> built;
        window->Rebuild([&built](bool ok) { built = ok; });
        return WaitFor([&built] { return built.has_value(); }, 60000) && *built;
    }

    QPoint RightPageCentre() const
    {
        const BookGeometry &g = window->Geometry();
        return QPoint((g.rightL + g.rightR) / 2, (g.rightT + g.rightB) / 2);
    }
    QPoint LeftPageCentre() const
    {
        const BookGeometry &g = window->Geometry();
        return QPoint((g.leftL + g.leftR) / 2, (g.leftT + g.leftB) / 2);
    }

    QTemporaryDir root;
    QString exeDir, album, other, savedCwd;
    QString unexpectedDialog;
    ScriptedPrompter prompter;
    std::unique_ptr<TTurvane_Fm> window;
};

} // namespace pagero::test
