// Installing the screen-saver file, its texts, and where a screen-saver run draws.
#include "core/motion/DisplayTarget.h"
#include "core/motion/ScreenSaverFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pagero;

namespace {

void Write(const QString &path, const QByteArray &bytes, QFileDevice::Permissions permissions)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    f.setPermissions(permissions);
}

QByteArray Read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(ScreenSaverFile, CopiesTheProgramAndItsLibrariesAndReplacesAnOlderCopy)
{
    QTemporaryDir dir;
    const QString program = dir.filePath("Pagero");
    ASSERT_TRUE(QDir().mkpath(program));
    const auto rw = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    // Larger than one copy chunk, so that the copy loop runs more than once.
    QByteArray body(3 * 1024 * 1024 + 17, 'x');
    body[0] = 'E';
    Write(program + "/pagero", body, rw | QFileDevice::ExeOwner);
    Write(program + "/libpostrel.so", "lib", rw | QFileDevice::ExeOwner);
    Write(program + "/libextra.so.1.2", "lib2", rw);
    Write(program + "/~evParam.~ev", "settings", rw);
    const QString system = dir.filePath("data/system");   // made when missing

    const ScreenSaverInstall first = InstallScreenSaverFile(program + "/pagero", system);
    ASSERT_TRUE(first.ok) << first.error.toStdString();
    EXPECT_EQ(first.file, system + "/Pagero Screen Saver.SCR");
    EXPECT_EQ(Read(first.file), body);
    EXPECT_TRUE(QFileInfo(first.file).permissions() & QFileDevice::ExeOwner);
    EXPECT_EQ(Read(system + "/libpostrel.so"), "lib");
    EXPECT_EQ(Read(system + "/libextra.so.1.2"), "lib2");
    EXPECT_FALSE(QFileInfo::exists(system + "/~evParam.~ev"));   // data stays in the program folder

    body[1] = 'F';
    Write(program + "/pagero", body, rw | QFileDevice::ExeOwner);
    ASSERT_TRUE(InstallScreenSaverFile(program + "/pagero", system).ok);
    EXPECT_EQ(Read(first.file), body);
    // Only the finished files remain: no temporary copies left beside them.
    EXPECT_EQ(QDir(system).entryList(QDir::Files | QDir::Hidden).size(), 3);
}

TEST(ScreenSaverFile, AFailedCopySaysWhyAndLeavesNoScreenSaver)
{
    QTemporaryDir dir;
    Write(dir.filePath("pagero"), "program", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    Write(dir.filePath("occupied"), "a file where the folder should be", QFileDevice::ReadOwner);
    const ScreenSaverInstall blocked = InstallScreenSaverFile(dir.filePath("pagero"), dir.filePath("occupied"));
    EXPECT_FALSE(blocked.ok);
    EXPECT_FALSE(blocked.error.isEmpty());

    const ScreenSaverInstall missing = InstallScreenSaverFile(dir.filePath("nothing"), dir.filePath("system"));
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(QFileInfo::exists(missing.file));
}

TEST(ScreenSaverFile, TheNameAndTheTextShownWhenItIsEnabled)
{
    EXPECT_EQ(ScreenSaverName(), "Pagero Screen Saver");
    EXPECT_EQ(ScreenSaverName("a.b.SCR"), "a");
    EXPECT_EQ(ScreenSaverEnabledText(ScreenSaverName()),
              "\"Pagero Screen Saver\"  enabled now.\n\r\n\rYou can select Pagero Screen Saver by setting "
              "Display in Control Panel.");
}

TEST(DisplayTarget, TheOptionBeforeTheDaemonsWindowBeforeTheRoot)
{
    using K = DisplayTarget;
    EXPECT_EQ(ChooseDisplayTarget(QString(), false, QString()).kind, K::OwnWindow);
    EXPECT_EQ(ChooseDisplayTarget(QString(), true, QString()).kind, K::Root);
    const DisplayTarget daemon = ChooseDisplayTarget(QString(), true, "0x1a00007");
    EXPECT_EQ(daemon.kind, K::Foreign);
    EXPECT_EQ(daemon.window, 0x1a00007u);
    EXPECT_EQ(ChooseDisplayTarget(QString(), false, " 0x1a00007\n").window, 0x1a00007u);
    const DisplayTarget given = ChooseDisplayTarget("4194311", true, "0x1a00007");
    EXPECT_EQ(given.kind, K::Foreign);
    EXPECT_EQ(given.window, 4194311u);
    // What is not a window id is refused, not taken for the root window or a window of its own.
    for (const char *bad : {"", "window", "0", "-5", "0x100000000", "12abc"})
        EXPECT_EQ(ChooseDisplayTarget(bad, false, QString()).kind, K::Invalid) << bad;
}
