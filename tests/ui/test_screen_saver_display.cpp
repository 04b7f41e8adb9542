// The screen-saver file started by a screen-saver daemon under a private X server (Xvfb): it draws
// the album's pages into the window it is given and ends when that window goes or on SIGTERM.
#include "core/motion/ScreenSaverFile.h"
#include "platform/system/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

using namespace pagero;

namespace {

class ScreenSaverDisplayTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (QStandardPaths::findExecutable("Xvfb").isEmpty()) return;
        dir = std::make_unique<QTemporaryDir>();
        server = std::make_unique<QProcess>();
        server->start("Xvfb", {"-displayfd", "1", "-screen", "0", "640x480x24", "-nolisten", "tcp"});
        if (!server->waitForStarted(5000)) return;
        QByteArray number;
        for (int i = 0; i < 100 && !number.contains('\n'); ++i) {
            server->waitForReadyRead(100);
            number += server->readAllStandardOutput();
        }
        display = ":" + number.trimmed();
        x = xcb_connect(display.constData(), nullptr);
        if (xcb_connection_has_error(x)) return;
        // The screen saver is installed as the program does it, with the samples as its album.
        const ScreenSaverInstall installed = InstallScreenSaverFile(QString(PAGERO_TEST_PROGRAM_DIR) + "/pagero",
                                                                    dir->filePath("system"));
        if (installed.ok) screenSaver = installed.file;
    }
    static void TearDownTestSuite()
    {
        if (x) xcb_disconnect(x);
        x = nullptr;
        if (server) {
            server->terminate();
            server->waitForFinished(5000);
        }
        server.reset();
        dir.reset();
    }
    void SetUp() override
    {
        if (screenSaver.isEmpty()) GTEST_SKIP() << "needs Xvfb";
        qputenv("PAGERO_CONFIGDIR", dir->filePath("config").toUtf8());
        sys::RegistryWrite("GEnv", "ExeDir", QString(PAGERO_TEST_PROGRAM_DIR));
        sys::RegistryWrite("ScnSVr", "DataDIR", QString(PAGERO_TEST_PROGRAM_DIR) + "/Samples");
        sys::RegistryWrite("ScnSVr", "ScvIns", false);
        sys::RegistryWrite("ScnSVr", "FlipSnd", false);
        sys::RegistryWrite("ScnSVr", "BgkMusic", false);
    }
    void TearDown() override
    {
        if (run && run->state() != QProcess::NotRunning) {
            run->kill();
            run->waitForFinished(5000);
        }
        if (window) xcb_destroy_window(x, window);
        if (x) xcb_flush(x);
    }

    // A black window of the test's own, like the one a screen-saver daemon makes.
    static xcb_window_t MakeWindow()
    {
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
        const xcb_window_t w = xcb_generate_id(x);
        const uint32_t black[] = {screen->black_pixel};
        xcb_create_window(x, XCB_COPY_FROM_PARENT, w, screen->root, 0, 0, 600, 440, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          screen->root_visual, XCB_CW_BACK_PIXEL, black);
        xcb_map_window(x, w);
        xcb_flush(x);
        return w;
    }
    // The window's pixels as they are on the screen (the screen saver's drawing included).
    static QByteArray Grab(xcb_window_t w)
    {
        xcb_get_image_reply_t *reply = xcb_get_image_reply(
            x, xcb_get_image(x, XCB_IMAGE_FORMAT_Z_PIXMAP, w, 0, 0, 600, 440, ~0u), nullptr);
        if (!reply) return {};
        const QByteArray pixels(reinterpret_cast<const char *>(xcb_get_image_data(reply)),
                                xcb_get_image_data_length(reply));
        std::free(reply);
        return pixels;
    }
    // Pages are drawn: a blank window has one colour, a book page many.
    static int Colours(const QByteArray &pixels)
    {
        QSet<quint32> seen;
        const auto *p = reinterpret_cast<const quint32 *>(pixels.constData());
        for (qsizetype i = 0; i < pixels.size() / 4; i += 7) seen.insert(p[i] & 0xFFFFFF);
        return int(seen.size());
    }
    void Start(const QStringList &args, const QString &daemonWindow = QString())
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("PAGERO_EXEDIR");   // the copy finds itself in the system folder
        env.insert("DISPLAY", QString::fromUtf8(display));
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("PAGERO_CONFIGDIR", dir->filePath("config"));
        env.insert("PAGERO_SYSTEMDIR", dir->filePath("system"));
        env.insert("PAGERO_RUNTIMEDIR", dir->filePath("runtime"));
        if (!daemonWindow.isEmpty()) env.insert("XSCREENSAVER_WINDOW", daemonWindow);
        run = std::make_unique<QProcess>();
        run->setProcessEnvironment(env);
        run->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        run->start(screenSaver, args);
        ASSERT_TRUE(run->waitForStarted(10000));
    }
    bool WaitForPages(xcb_window_t w, int ms = 30000)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            if (Colours(Grab(w)) > 20) return true;
            if (run->state() == QProcess::NotRunning) return false;
            QThread::msleep(200);
        }
        return false;
    }
    static bool Running() { return sys::RegistryRead("ScnSVr", "ScvIns", true).toBool(); }

    static inline std::unique_ptr<QTemporaryDir> dir;
    static inline std::unique_ptr<QProcess> server;
    static inline QByteArray display;
    static inline xcb_connection_t *x = nullptr;
    static inline QString screenSaver;
    std::unique_ptr<QProcess> run;
    xcb_window_t window = 0;
};

TEST_F(ScreenSaverDisplayTest, DrawsFlippingPagesIntoTheGivenWindowAndEndsWhenItGoes)
{
    window = MakeWindow();
    EXPECT_EQ(Colours(Grab(window)), 1);
    Start({"-window-id", QString("0x%1").arg(window, 0, 16)});
    ASSERT_TRUE(WaitForPages(window));
    EXPECT_TRUE(Running());
    // The album flips on its own: the pages change.
    const QByteArray before = Grab(window);
    QElapsedTimer clock;
    clock.start();
    while (Grab(window) == before && clock.elapsed() < 8000) QThread::msleep(200);
    EXPECT_NE(Grab(window), before);

    xcb_destroy_window(x, window);
    xcb_flush(x);
    window = 0;
    ASSERT_TRUE(run->waitForFinished(10000));
    EXPECT_EQ(run->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run->exitCode(), 0);
    EXPECT_FALSE(Running());
}

TEST_F(ScreenSaverDisplayTest, TakesTheDaemonsWindowWithRootAndEndsOnSigterm)
{
    window = MakeWindow();
    Start({"-root"}, QString("0x%1").arg(window, 0, 16));
    ASSERT_TRUE(WaitForPages(window));
    run->terminate();
    ASSERT_TRUE(run->waitForFinished(10000));
    EXPECT_EQ(run->exitStatus(), QProcess::NormalExit);
    EXPECT_FALSE(Running());
}

TEST_F(ScreenSaverDisplayTest, AWindowThatDoesNotExistIsRefused)
{
    Start({"-window-id", "0x1fffff0"});
    ASSERT_TRUE(run->waitForFinished(30000));
    EXPECT_EQ(run->exitCode(), 2);
}

} // namespace
