// "Make to Screen Saver" on the real window: the choices go to the settings store, the program is
// copied into the system folder as the screen-saver file, and the user is told how it went.
#include "main_window_fixture.h"
#include "platform/system/ProgramFolder.h"
#include <QFileInfo>

using namespace pagero;
using namespace pagero::test;

class ScreenSaverMakerTest : public MainWindowTest {
protected:
    // Runs the command and waits until its copy has ended.
    std::optional<ScreenSaverInstall> Make()
    {
        std::optional<ScreenSaverInstall> outcome;
        window->Maker().finished = [&outcome](const ScreenSaverInstall &r) { outcome = r; };
        window->Menus().actions.MaketoScreenSaver1->trigger();
        WaitFor([&outcome] { return outcome.has_value(); }, 60000);
        window->Maker().finished = nullptr;
        return outcome;
    }
    QVariant Stored(const char *section, const char *name) { return sys::RegistryRead(section, name, QVariant()); }
};

TEST_F(ScreenSaverMakerTest, RecordsTheChoicesCopiesTheProgramAndSaysSoEveryTime)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    QAction *command = w.Menus().actions.MaketoScreenSaver1;
    EXPECT_TRUE(command->isVisible());
    EXPECT_TRUE(command->isEnabled());
    w.Menus().actions.FlippingSound1->setChecked(false);
    w.Menus().actions.BackgroundMusic1->setChecked(true);
    sys::RegistryWrite("ScnSVr", "ScvIns", true);

    const std::optional<ScreenSaverInstall> first = Make();
    ASSERT_TRUE(first && first->ok) << (first ? first->error.toStdString() : "no end");
    EXPECT_EQ(Stored("GEnv", "ExeDir").toString(), exeDir);
    EXPECT_EQ(Stored("ScnSVr", "DataDIR").toString(), album);
    EXPECT_FALSE(Stored("ScnSVr", "ScvIns").toBool());
    EXPECT_FALSE(Stored("ScnSVr", "FlipSnd").toBool());
    EXPECT_TRUE(Stored("ScnSVr", "BgkMusic").toBool());
    const QFileInfo file(root.filePath("system/Pagero Screen Saver.SCR"));
    EXPECT_EQ(first->file, file.filePath());
    EXPECT_TRUE(file.isExecutable());
    EXPECT_EQ(file.size(), QFileInfo(QCoreApplication::applicationFilePath()).size());
    ASSERT_EQ(prompter.texts.size(), 1);
    EXPECT_EQ(prompter.kinds.back(), PromptKind::Information);
    EXPECT_EQ(prompter.texts.back(), "\"Pagero Screen Saver\"  enabled now.\n\r\n\rYou can select Pagero Screen "
                                     "Saver by setting Display in Control Panel.");

    // A second time replaces the file and writes the values again.
    w.Menus().actions.FlippingSound1->setChecked(true);
    sys::RegistryWrite("ScnSVr", "ScvIns", true);
    const std::optional<ScreenSaverInstall> second = Make();
    ASSERT_TRUE(second && second->ok);
    EXPECT_TRUE(Stored("ScnSVr", "FlipSnd").toBool());
    EXPECT_FALSE(Stored("ScnSVr", "ScvIns").toBool());
    EXPECT_EQ(prompter.texts.size(), 2);
    EXPECT_TRUE(command->isEnabled());
}

TEST_F(ScreenSaverMakerTest, AFailedCopyIsReportedAndTheChoicesStayWritten)
{
    // Where the system folder should be lies a file: the folder cannot be made.
    QFile blocker(root.filePath("system"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    const std::optional<ScreenSaverInstall> outcome = Make();
    ASSERT_TRUE(outcome);
    EXPECT_FALSE(outcome->ok);
    EXPECT_EQ(Stored("ScnSVr", "DataDIR").toString(), album);
    ASSERT_EQ(prompter.kinds.size(), 1);
    EXPECT_EQ(prompter.kinds.back(), PromptKind::Error);
    EXPECT_TRUE(prompter.texts.back().startsWith("The screen saver could not be made."));
    EXPECT_TRUE(w.Menus().actions.MaketoScreenSaver1->isEnabled());
}
