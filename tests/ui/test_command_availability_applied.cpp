// The real menus, pop-up menu and tool bar take their enabled states from the command availability
// rules, and a command without a handler stays disabled whatever the rules say.
#include "main_window_fixture.h"
#include "app/BookContext.h"
#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <vector>

namespace pagero::test {
namespace {

struct Governed {
    QAction *action;
    bool CommandFlags::*flag;
    const char *name;
};

std::vector<Governed> GovernedOf(const MainMenus &m)
{
    std::vector<Governed> all;
#define PAGERO_ITEM(name) all.push_back({m.actions.name, &CommandFlags::name, #name});
    PAGERO_AVAILABLE_COMMANDS(PAGERO_ITEM)
    PAGERO_AVAILABLE_BUTTONS(PAGERO_ITEM)
#undef PAGERO_ITEM
#define PAGERO_ITEM(name) all.push_back({m.menus.name->menuAction(), &CommandFlags::name, #name});
    PAGERO_AVAILABLE_MENUS(PAGERO_ITEM)
#undef PAGERO_ITEM
    return all;
}

bool Within(QMenu *menu, QAction *action)
{
    for (QAction *a : menu->actions())
        if (a == action || (a->menu() && Within(a->menu(), action))) return true;
    return false;
}

class CommandAvailabilityApplied : public MainWindowTest {
protected:
    // Opens every top-level menu, then the pop-up over `popupAt`, and checks each governed command
    // of them (and the tool bar) against the rules for the state of that moment.
    void CheckEverything(QPoint popupAt, const char *where)
    {
        TTurvane_Fm &w = *window;
        const MainMenus &m = w.Menus();
        const std::vector<Governed> governed = GovernedOf(m);
        const auto check = [&](QMenu *menu, const CommandFlags &flags) {
            for (const Governed &g : governed) {
                if (menu && !Within(menu, g.action)) continue;
                if (!menu && !m.toolBar->actions().contains(g.action)) continue;
                const bool built = g.action->menu() || CommandBuilt(g.action);
                EXPECT_EQ(g.action->isEnabled(), flags.*g.flag && built) << g.name << " " << where;
            }
        };
        for (QMenu *top : {m.menus.File1, m.menus.Edit1, m.menus.View1, m.menus.FlipTo1, m.menus.BookMark1,
                           m.menus.Tools1, m.menus.Options1, m.menus.Help1}) {
            emit top->aboutToShow();
            check(top, CommandAvailability(w.Availability().State()));
        }
        w.PopupMenuAt(popupAt, w.View()->mapToGlobal(popupAt));
        const CommandFlags popupFlags = CommandAvailability(w.Availability().State());
        m.popup->hide();
        check(m.popup, popupFlags);
        check(nullptr, CommandAvailability(w.Availability().State()));
    }
};

TEST_F(CommandAvailabilityApplied, MenusPopupAndToolBarFollowTheRulesOnTheCoverAndOnAPicturePage)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    w.FlipTo(0);
    ASSERT_TRUE(Landed());
    CheckEverything(RightPageCentre(), "on the front cover");
    // Right-clicking the cover offers no file command.
    for (QAction *a : {w.Menus().actions.btnView1, w.Menus().actions.btnDelete1, w.Menus().actions.mnuEdit2})
        EXPECT_FALSE(a->isEnabled());

    w.FlipTo(w.Layout_().FirstFilePage);
    ASSERT_TRUE(Landed());
    CheckEverything(w.Flip_().LeftPageNo == w.Layout_().FirstFilePage ? LeftPageCentre() : RightPageCentre(),
                    "on a picture page");
    EXPECT_TRUE(w.Menus().menus.Rotate3->menuAction()->isEnabled());
    EXPECT_TRUE(w.Menus().actions.btnInfo1->isEnabled());
}

TEST_F(CommandAvailabilityApplied, TheToolBarFollowsEveryCommandAndTheMenusRestWhileAutoFlipping)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    w.FlipTo(w.Layout_().FirstFilePage + 2);   // both pages show pictures
    ASSERT_TRUE(Landed());
    const MainActions &a = w.Menus().actions;
    ASSERT_GE(w.Flip_().LeftPageNo, w.Layout_().FirstFilePage);
    ASSERT_TRUE(a.BatchSelLImg->isEnabled());
    ASSERT_FALSE(a.BatchDeselectLImg->isEnabled());
    a.BatchSelLImg->trigger();
    ASSERT_TRUE(Landed());
    EXPECT_FALSE(a.BatchSelLImg->isEnabled());
    EXPECT_TRUE(a.BatchDeselectLImg->isEnabled());

    w.StartAutoFlipping();
    EXPECT_FALSE(w.Menus().menus.File1->menuAction()->isEnabled());
    EXPECT_FALSE(w.Menus().menus.Options1->menuAction()->isEnabled());
    EXPECT_TRUE(w.Menus().menus.Help1->menuAction()->isEnabled());
    w.StopAutoFlipping();
    ASSERT_TRUE(Landed());
    EXPECT_TRUE(w.Menus().menus.File1->menuAction()->isEnabled());
}

TEST_F(CommandAvailabilityApplied, APressedButtonShowsItsPictureInvertedUntilReleased)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    w.FlipTo(0);
    ASSERT_TRUE(Landed());
    QAction *overview = w.Menus().actions.FlipToOverviewImg;
    ASSERT_TRUE(overview->isEnabled());
    auto *button = qobject_cast<QToolButton *>(w.Menus().toolBar->widgetForAction(overview));
    ASSERT_NE(button, nullptr);
    const QSize size = button->iconSize();
    const QImage before = overview->icon().pixmap(size, 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
    QTest::mousePress(button, Qt::LeftButton);
    const QImage pressed = overview->icon().pixmap(size, 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
    const QPoint centre(size.width() / 2, size.height() / 2);
    EXPECT_EQ(qRed(pressed.pixel(centre)), 255 - qRed(before.pixel(centre)));
    EXPECT_EQ(qAlpha(pressed.pixel(0, 0)), qAlpha(before.pixel(0, 0)));
    QTest::mouseRelease(button, Qt::LeftButton);
    ASSERT_TRUE(Landed());
    EXPECT_EQ(overview->icon().pixmap(size, 1.0).toImage().convertToFormat(QImage::Format_ARGB32), before);
    EXPECT_EQ(w.Flip_().LeftPageNo / 2, w.Layout_().FirstOverviewPage / 2);   // and the command ran
}

TEST_F(CommandAvailabilityApplied, ACommandWithoutAHandlerStaysDisabled)
{
    TTurvane_Fm &w = Start({album});
    ASSERT_TRUE(WaitOpen());
    w.FlipTo(w.Layout_().FirstFilePage);
    ASSERT_TRUE(Landed());
    // TWainSaveAs is never offered; an action nobody connected is never enabled by the rules.
    QAction orphan("orphan");
    EXPECT_FALSE(CommandBuilt(&orphan));
    const MainActions &a = w.Menus().actions;
    emit w.Menus().menus.File1->aboutToShow();
    EXPECT_FALSE(a.TWainSaveAs->isEnabled());
    for (const Governed &g : GovernedOf(w.Menus())) {
        if (g.action->menu() || CommandBuilt(g.action)) continue;
        EXPECT_FALSE(g.action->isEnabled()) << g.name;
    }
}

} // namespace
} // namespace pagero::test
