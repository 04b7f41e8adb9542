#include "app/CommandAvailability.h"
#include "app/BookContext.h"
#include "app/MainMenus.h"
#include "app/SelectionList.h"
#include "core/book/BookLayout.h"
#include "core/book/FlipState.h"
#include "core/book/HotCodes.h"
#include "core/book/PageList.h"
#include "core/book/Settings.h"
#include "core/common/MyLib.h"
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QToolBar>

namespace pagero {

CommandAvailabilityApplier::CommandAvailabilityApplier(BookContext &book, const MainMenus &menus, Facts facts,
                                                       QObject *parent)
    : QObject(parent), book_(book), menus_(menus), facts_(std::move(facts))
{
    const MainActions &a = menus.actions;
#define PAGERO_MAP(name) commands_.insert(a.name, &CommandFlags::name);
    PAGERO_AVAILABLE_COMMANDS(PAGERO_MAP)
#undef PAGERO_MAP
#define PAGERO_MAP(name) buttons_.insert(a.name, &CommandFlags::name);
    PAGERO_AVAILABLE_BUTTONS(PAGERO_MAP)
#undef PAGERO_MAP
#define PAGERO_MAP(name) commands_.insert(menus.menus.name->menuAction(), &CommandFlags::name);
    PAGERO_AVAILABLE_MENUS(PAGERO_MAP)
#undef PAGERO_MAP

    // Each menu and submenu as it opens (a submenu again, in case the state changed meanwhile).
    QList<QMenu *> all{menus.popup};
#define PAGERO_MENU(name) all.append(menus.menus.name);
    PAGERO_MENUS(PAGERO_MENU)
#undef PAGERO_MENU
    for (QMenu *menu : all) connect(menu, &QMenu::aboutToShow, this, [this, menu] { ApplyTo(menu); });
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        connect(clipboard, &QClipboard::dataChanged, this, [this] { RefreshToolBar(); });
}

PageFacts CommandAvailabilityApplier::FactsOfPage(int page) const
{
    PageFacts p;
    const QString path = book_.FileOfPage(page);
    if (!path.isEmpty()) {
        p.mediaKind = MediaKind(path);
        p.selected = book_.Selection().Contains(path);
    }
    p.bookmarked = page > 0 && facts_.bookmarked && facts_.bookmarked(page);
    return p;
}

CommandState CommandAvailabilityApplier::State() const
{
    CommandState s;
    const FlipState &spread = book_.Spread();
    const BookLayout &sections = book_.Sections();
    s.mode = book_.Mode();
    s.albumOpen = book_.AlbumOpen() && !book_.Building();
    s.batchRunning = facts_.batchRunning && facts_.batchRunning();
    s.printJobRunning = facts_.printJobRunning && facts_.printJobRunning();
    s.leftPage = spread.LeftPageNo;
    s.rightPage = spread.RightPageNo;
    s.lastPage = spread.LastPageNo;
    s.firstOverviewPage = sections.FirstOverviewPage;
    s.firstContentsPage = sections.FirstContentsPage;
    s.firstFilePage = sections.FirstFilePage;
    s.firstIndexPage = sections.FirstIndexPage;
    s.backCoverPage = sections.BackCoverPage;
    s.fileCount = s.albumOpen ? book_.Pages().Count() : 0;
    if (s.albumOpen) {
        s.left = FactsOfPage(s.leftPage);
        s.right = FactsOfPage(s.rightPage);
    }
    s.popupTarget = facts_.popupTarget ? facts_.popupTarget() : 0;
    s.popupPage = facts_.popupPage ? facts_.popupPage() : 0;
    const QString popupFile = facts_.popupFile ? facts_.popupFile() : QString();
    if (s.albumOpen) {
        // The pop-up's bookmark is that of the file page it acts on: an entry stands for its file's page.
        const int markPage = IsEntryCode(s.popupTarget) ? s.firstFilePage + EntryOfCode(s.popupTarget) : s.popupPage;
        s.popup.bookmarked = markPage > 0 && facts_.bookmarked && facts_.bookmarked(markPage);
        if (!popupFile.isEmpty()) {
            s.popup.mediaKind = MediaKind(popupFile);
            s.popup.selected = book_.Selection().Contains(popupFile);
            s.popupFileOnSpread = popupFile == book_.FileOfPage(s.leftPage) || popupFile == book_.FileOfPage(s.rightPage);
        }
    }
    s.selectionCount = book_.Selection().Count();
    s.bookmarkCount = facts_.bookmarkCount ? facts_.bookmarkCount() : 0;
    s.albumWritable = !facts_.albumWritable || facts_.albumWritable();
    s.mailSending = facts_.mailSending && facts_.mailSending();
    if (facts_.clipboardHasPicture) {
        s.clipboardHasPicture = facts_.clipboardHasPicture();
    } else if (const QClipboard *clipboard = QGuiApplication::clipboard()) {
        const QMimeData *data = clipboard->mimeData();
        s.clipboardHasPicture = data && data->hasImage();
    }
    s.windowFrameShown = !facts_.windowFrameShown || facts_.windowFrameShown();
    s.backgroundMusicOn = book_.Options().BackgroundMusic;
    return s;
}

void CommandAvailabilityApplier::Apply(QAction *action, bool on) const
{
    // A command nobody handles yet stays disabled; a menu's own item has no handler of its own.
    const bool built = action->menu() || CommandBuilt(action);
    action->setEnabled(on && built);
}

void CommandAvailabilityApplier::ApplyTo(QMenu *menu)
{
    const CommandFlags flags = CommandAvailability(State());
    std::function<void(QMenu *)> walk = [&](QMenu *m) {
        for (QAction *action : m->actions()) {
            if (const auto it = commands_.constFind(action); it != commands_.constEnd()) Apply(action, flags.*(*it));
            if (QMenu *sub = action->menu()) walk(sub);
        }
    };
    walk(menu);
    if (menu == menus_.popup) {
        menus_.actions.AutoFlipping2->setText(flags.autoFlippingStops ? kStopAutoFlippingCaption
                                                                      : kStartAutoFlippingCaption);
        menus_.actions.WindowFrame1->setChecked(flags.popupWindowFrameChecked);
    }
    if (menu == menus_.menus.View1) menus_.actions.WindowFrame2->setChecked(flags.windowFrameChecked);
}

void CommandAvailabilityApplier::RefreshToolBar()
{
    const CommandFlags flags = CommandAvailability(State());
    for (auto it = buttons_.constBegin(); it != buttons_.constEnd(); ++it) Apply(it.key(), flags.*(it.value()));
    const MainMenuSet &m = menus_.menus;
    // The Annotate menu also tells at a glance whether the album folder takes comments.
    for (QMenu *menu : {m.File1, m.Edit1, m.View1, m.FlipTo1, m.BookMark1, m.Tools1, m.Options1, m.Annotate1})
        Apply(menu->menuAction(), flags.*commands_.value(menu->menuAction()));
}

} // namespace pagero
