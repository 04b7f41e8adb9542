// The program folder, the per-user registry file and the screen-saver lock.
#include "platform/system/ProgramFolder.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <iostream>

using namespace pagero::sys;

namespace {

// Sets an environment variable for the lifetime of the object, then restores it.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const QByteArray &value) : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~ScopedEnv() { had_ ? qputenv(name_, old_) : qunsetenv(name_); }
private:
    const char *name_;
    bool had_;
    QByteArray old_;
};

TEST(ProgramFolderTest, EnvironmentNamesTheFolderElseTheExecutablesFolder)
{
    QTemporaryDir dir;
    {
        ScopedEnv env("PAGERO_EXEDIR", (dir.path() + "/").toUtf8());
        EXPECT_EQ(ProgramFolder(), dir.path());
    }
    {
        ScopedEnv env("PAGERO_EXEDIR", QByteArray());
        EXPECT_EQ(ProgramFolder(), QCoreApplication::applicationDirPath());
        EXPECT_FALSE(ProgramFolder().endsWith('/'));
    }
    {
        ScopedEnv env("PAGERO_SYSTEMDIR", dir.path().toUtf8());
        EXPECT_EQ(SystemFolder(), dir.path());
    }
    ScopedEnv env("PAGERO_SYSTEMDIR", QByteArray());
    EXPECT_TRUE(SystemFolder().endsWith("/Pagero/system"));
}

TEST(RegistryTest, ValuesRoundTripThroughTheIniFileInTheirSections)
{
    QTemporaryDir dir;
    ScopedEnv env("PAGERO_CONFIGDIR", dir.path().toUtf8());
    EXPECT_EQ(RegistryFilePath(), dir.path() + "/Pagero 3.0.ini");

    // A value never written reads as the default ("ScvIns" missing reads true).
    EXPECT_TRUE(RegistryRead("ScnSVr", "ScvIns", true).toBool());
    RegistryWrite("GEnv", "ExeDir", "/opt/Pagero Program");
    RegistryWrite("ScnSVr", "DataDIR", "/home/u/Pictures/Ünïcode folder");
    RegistryWrite("ScnSVr", "ScvIns", false);
    RegistryWrite("ScnSVr", "FlipSnd", true);

    EXPECT_EQ(RegistryRead("GEnv", "ExeDir", "").toString(), "/opt/Pagero Program");
    EXPECT_EQ(RegistryRead("ScnSVr", "DataDIR", "").toString(), "/home/u/Pictures/Ünïcode folder");
    EXPECT_FALSE(RegistryRead("ScnSVr", "ScvIns", true).toBool());
    EXPECT_TRUE(RegistryRead("ScnSVr", "FlipSnd", false).toBool());
    EXPECT_EQ(RegistryRead("GEnv", "ScvIns", "absent").toString(), "absent");   // sections are apart

    QFile ini(RegistryFilePath());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    EXPECT_TRUE(text.contains("[GEnv]"));
    EXPECT_TRUE(text.contains("[ScnSVr]"));
    EXPECT_TRUE(text.contains("ScvIns=false"));
}

// Run in a child process by the test below: holds the lock until its standard input closes.
TEST(ScreenSaverLockChild, HoldsTheLockUntilStdinCloses)
{
    if (qEnvironmentVariable("PAGERO_TEST_HOLD_LOCK") != "1") GTEST_SKIP() << "only as a child process";
    const auto lock = AcquireScreenSaverLock();
    std::cout << (lock->held() ? "HELD" : "REFUSED") << std::endl;
    std::string line;
    std::getline(std::cin, line);
}

TEST(ScreenSaverLockTest, SeenFromTheSameProcessAndFromAnother)
{
    QTemporaryDir dir;
    ScopedEnv env("PAGERO_RUNTIMEDIR", dir.path().toUtf8());
    EXPECT_FALSE(ScreenSaverRunning());
    {
        const auto first = AcquireScreenSaverLock();
        ASSERT_TRUE(first->held());
        EXPECT_TRUE(ScreenSaverRunning());
        EXPECT_FALSE(AcquireScreenSaverLock()->held());   // a second run is refused
    }
    EXPECT_FALSE(ScreenSaverRunning());

    QProcess child;
    QProcessEnvironment childEnv = QProcessEnvironment::systemEnvironment();
    childEnv.insert("PAGERO_TEST_HOLD_LOCK", "1");
    child.setProcessEnvironment(childEnv);
    child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=ScreenSaverLockChild.*"});
    ASSERT_TRUE(child.waitForStarted(10000));
    QByteArray out;
    while (!out.contains("HELD") && !out.contains("REFUSED") && child.waitForReadyRead(10000)) out += child.readAllStandardOutput();
    ASSERT_TRUE(out.contains("HELD")) << out.constData();
    EXPECT_TRUE(ScreenSaverRunning());
    EXPECT_FALSE(AcquireScreenSaverLock()->held());
    child.closeWriteChannel();
    ASSERT_TRUE(child.waitForFinished(10000));
    EXPECT_FALSE(ScreenSaverRunning());

    // A lock left by a run that was killed does not count, and a new run takes it over.
    child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=ScreenSaverLockChild.*"});
    ASSERT_TRUE(child.waitForStarted(10000));
    out.clear();
    while (!out.contains("HELD") && !out.contains("REFUSED") && child.waitForReadyRead(10000)) out += child.readAllStandardOutput();
    ASSERT_TRUE(out.contains("HELD"));
    child.kill();
    child.waitForFinished(10000);
    EXPECT_TRUE(QFile::exists(ScreenSaverLockPath()));
    EXPECT_FALSE(ScreenSaverRunning());
    EXPECT_TRUE(AcquireScreenSaverLock()->held());
}

} // namespace
