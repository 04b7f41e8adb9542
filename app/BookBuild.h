#pragma once
// One build of the book: the album's page list, the sections (thumbnails are made in the
// background), the layout, and the open spread kept within the new page count. One build runs at a
// time; the latest album or rebuild request made during a build runs after it. The book's commands
// that would disturb it (tool bar, the pop-up's auto flipping, Help) rest meanwhile.
#include "app/BookSections.h"
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace pagero {

class AlbumSession;
class BookLayout;
class BookPainter;
class FlipState;
class PageList;
class SaveReporter;
class SelectionList;
class TOverView_Fm;
struct BookGeometry;
struct MainMenus;
struct Settings;

class BookBuild : public QObject {
public:
    // What a build reads and writes of the window's book.
    struct Parts {
        AlbumSession &session;
        PageList &pages;
        BookLayout &layout;
        FlipState &flip;
        SelectionList &selection;
        BookPainter &painter;
        const BookGeometry &geo;
        const Settings &settings;
        TOverView_Fm &overview;
        SaveReporter &saves;
        const QString &overviewDir;   // the thumbnail cache's root
    };
    BookBuild(Parts parts, const MainMenus &menus, std::unique_ptr<SectionBuilder> sections,
              std::function<int()> sortOrder);

    bool Building() const { return building_; }
    // Builds the book; `done` gets whether it was built, once the build has ended.
    void Build(std::function<void(bool built)> done);
    // Something else uses the book's caches: book input rests as during a build.
    void SetBusy(bool busy) { building_ = busy; }
    // Runs `request` after the running build (only the latest request waits).
    void AfterBuild(std::function<void()> request) { afterBuild_ = std::move(request); }
    void SetSectionBuilder(std::unique_ptr<SectionBuilder> sections) { sections_ = std::move(sections); }
    // The thumbnail progress window is a window of its own: a desktop may take it down with the
    // program. Minimising notes whether it was showing (and then leaves it up at the build's end);
    // restoring brings it back when it was.
    bool ProgramMinimised();
    void ProgramRestored(bool progressWasVisible);

private:
    void KeepSpreadInBook();
    void RunAfterBuild();

    Parts book_;
    const MainMenus &menus_;
    std::unique_ptr<SectionBuilder> sections_;
    std::function<int()> sortOrder_;
    bool building_ = false;
    std::function<void()> afterBuild_;
};

} // namespace pagero
