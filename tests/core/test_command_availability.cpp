// Command availability over a spread of each kind: every governed menu item, pop-up item and
// tool-bar button against a table of what the user may run there ("x" enabled, "." disabled).
#include "core/commands/CommandAvailability.h"
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace pagero;

namespace {

using Flag = bool CommandFlags::*;

const std::map<std::string, Flag> &AllFlags()
{
    static const std::map<std::string, Flag> all = [] {
        std::map<std::string, Flag> m;
#define PAGERO_NAME(name) m[#name] = &CommandFlags::name;
        PAGERO_AVAILABLE_COMMANDS(PAGERO_NAME)
        PAGERO_AVAILABLE_BUTTONS(PAGERO_NAME)
        PAGERO_AVAILABLE_MENUS(PAGERO_NAME)
#undef PAGERO_NAME
        return m;
    }();
    return all;
}

// An album of ten files: front cover 1, overview 2-3, contents 4-5, files 6-15, index 16-17,
// back cover 18.
CommandState Album(int left)
{
    CommandState s;
    s.albumOpen = true;
    s.leftPage = left;
    s.rightPage = left + 1;
    s.lastPage = 18;
    s.firstOverviewPage = 2;
    s.firstContentsPage = 4;
    s.firstFilePage = 6;
    s.firstIndexPage = 16;
    s.backCoverPage = 18;
    s.fileCount = 10;
    return s;
}

CommandState Files(int left, int kind)
{
    CommandState s = Album(left);
    s.left.mediaKind = s.right.mediaKind = kind;
    return s;
}

CommandState Pictures() { return Files(6, 1); }

struct Column {
    const char *name;
    CommandState state;
};

std::vector<Column> SpreadColumns()
{
    CommandState none;
    none.albumOpen = false;
    CommandState broken = Files(14, 2);   // a picture that cannot be decoded is still a picture file
    CommandState empty = Album(2);
    empty.firstOverviewPage = empty.firstContentsPage = 2;
    empty.firstFilePage = empty.firstIndexPage = 3;
    empty.backCoverPage = empty.lastPage = 4;
    empty.fileCount = 0;
    CommandState readOnly = Pictures();
    readOnly.albumWritable = false;
    CommandState selected = Pictures();
    selected.left.selected = true;
    selected.selectionCount = 1;
    CommandState marked = Pictures();
    marked.left.bookmarked = true;
    marked.bookmarkCount = 1;
    CommandState mailing = Pictures();
    mailing.mailSending = true;
    CommandState autoFlip = Pictures();
    autoFlip.mode = PaintMode::AutoFlipping;
    CommandState saver = Pictures();
    saver.mode = PaintMode::ScreenSaver;
    saver.albumWritable = false;
    CommandState clipboard = Pictures();
    clipboard.clipboardHasPicture = true;
    clipboard.backgroundMusicOn = true;
    return {{"no album", none},         {"front cover", Album(0)},  {"overview", Album(2)},
            {"contents", Album(4)},     {"index", Album(16)},       {"pictures", Pictures()},
            {"sound", Files(8, 3)},     {"MIDI", Files(10, 4)},     {"video", Files(12, 5)},
            {"broken file", broken},    {"empty album", empty},     {"read-only album", readOnly},
            {"left selected", selected}, {"left bookmarked", marked}, {"mail sending", mailing},
            {"auto flipping", autoFlip}, {"screen-saver run", saver}, {"clipboard picture, music", clipboard}};
}

struct Row {
    const char *names;     // commands sharing the rule, separated by spaces
    const char *expected;  // one character per column
};

// Columns: no album, front cover, overview, contents, index, pictures, sound, MIDI, video, broken
// file, empty album, read-only album, left selected, left bookmarked, mail sending, auto flipping,
// screen-saver run, clipboard picture with background music.
const Row kSpreadTable[] = {
    // The seven book menus rest while auto flipping and in a screen-saver run.
    {"File1 Edit1 View1 FlipTo1 BookMark1 Tools1 Options1", "xxxxxxxxxxxxxxx..x"},
    {"NewFolder1 Open2 DeleteFolder1 Exit2 byName1 byType1 bySize1 byDate1 FilterPages1 btnExtraLarge1 btnLarger1 btnLargest1 "
     "btnMiddle1 "
     "btnSmallest1 EmptyOverviewCache1 ToolBar1 WindowFrame2 WithPageNo1 Fancy1 EmptyBookmarksFolder1 "
     "SetFlipSpeedWn FlippingControl2 BackgroundMusic1 SetBackgroundMusic1 SetAutoFlipping1 SetSlider1 Default1 "
     "Color1 btnBitmap1 Default2 Color2 btnBitmap2 SetEMailOptions1 JCAutoShow AutoReopen AutoFlipToOverview "
     "Context1 Credits1 About1 BkMusicImg",
     "xxxxxxxxxxxxxxxxxx"},
    {"NewImg OpenImg Select1", "xxxxxxxxxxxxxxx..x"},
    {"Import1 CopyFromImg Acquire1 AlbumName1 AutoFLipping1 SliderShow1 MaketoScreenSaver1 FlipToOverviewImg "
     "SlideShowImg",
     ".xxxxxxxxxxxxxx..x"},
    {"AutoFlippingImg", ".xxxxxxxxxxxxxxx.x"},
    {"TWainSaveAs RightPageFile2 BatchDeselectRImg btnRmvRightPage RemoveBookmarkRImg", ".................."},
    // File and View commands of a page need a file page on their side.
    {"CopyLeftPageFileAs1 MoveLeftpagefileas1 RenameLeftPageImageFile1 DeleteLeftPageFile1 LeftImage1 LeftImage2 "
     "CopyRightPageFileAs1 MoveRightpagefileas1 RenameRightPageImageFile1 DeleteRightPageFile1 RightImage1 "
     "RightImage2 RightPageFile3 BatchSelRImg",
     ".....xxxxx.xxxx..x"},
    // Picture commands: a file page whose file is a picture (sound, MIDI and video are not).
    {"SaveLeftPageImageFileAs1 LeftPageFile1 LeftPageImage4 LeftPageImage3 LeftPageImage901 LeftPageImage902 "
     "LeftPageImage5 LeftPageImage6 CopyToClipBdLImg EditLImg SaveRightPageImageFileAs1 RightPageFile1 "
     "RightPageImage4 RightPageImage3 RightPageImage901 RightPageImage902 RightPageImage5 RightPageImage6 "
     "CopyToClipBdRImg EditRImg",
     ".....x...x.xxxx..x"},
    {"OverviewPages1", ".xxxxxxxxx.xxxx..x"},
    {"Paste1 PastFromClipBdImg", ".................x"},
    // Comments need a folder that can be written.
    {"Annotate1", ".xxxxxxxxxx.xxx..x"},
    {"LeftPageImageComment1 AnnotationLImg RightPageImageComment1 AnnotationRImg", ".....xxxxx..xxx..x"},
    // Batch: ten file pages, one selected in "left selected".
    {"All3", ".xxxxxxxxx.xxxx..x"},
    {"All2 Rotate2 SizeChange2 CopyTo1 MoveTo1 Delete1 EMailSend1 LeftPageFile2 BatchDeselectLImg",
     "............x....."},
    {"LeftPageFile3 BatchSelLImg", ".....xxxxx.x.xx..x"},
    // FlipTo: a section's first page when the spread does not show it.
    {"Overview1", ".x.xxxxxxx.xxxx..x"},
    {"Contents1", ".xx.xxxxxx.xxxx..x"},
    {"FirstPage1", ".xxxx.xxxx........"},
    {"Index1", ".xxx.xxxxx.xxxx..x"},
    {"PageNo1 FileName1", ".xxxxxxxxx.xxxx..x"},
    // Bookmarks: between the covers of an album with files.
    {"btnAdd1 btnRemove btnAddRightPage AddBookmarkRImg", "..xxxxxxxx.xxxx..x"},
    {"btnAddLeftPage AddBookmarkLImg", "..xxxxxxxx.xx.x..x"},
    {"btnRmvLeftPage RemoveBookmarkLImg FlipToBookmarkedPage Clearallbookmark1", ".............x...."},
    // Mail and the flipping sound.
    {"EMail1", "xxxxxxxxxxxxxx...x"},
    {"EMailImg", "xxxxxxxxxxxxxx.xxx"},
    {"FlippingSound1", "xxxxxxxxxxxxxxxxx."},
};

// The page pop-up menu over what lies under the pointer.
std::vector<Column> PopupColumns()
{
    const auto at = [](CommandState s, int target, int page, int kind, bool onSpread) {
        s.popupTarget = target;
        s.popupPage = page;
        s.popup.mediaKind = kind;
        s.popupFileOnSpread = onSpread;
        return s;
    };
    CommandState selected = at(Pictures(), 1999, 6, 1, true);
    selected.popup.selected = true;
    selected.selectionCount = 1;
    CommandState marked = at(Pictures(), 1999, 6, 1, true);
    marked.popup.bookmarked = true;
    CommandState readOnly = at(Pictures(), 1999, 6, 1, true);
    readOnly.albumWritable = false;
    CommandState autoFlip = at(Pictures(), 1999, 6, 1, true);
    autoFlip.mode = PaintMode::AutoFlipping;
    CommandState saver = at(Pictures(), 1999, 6, 1, true);
    saver.mode = PaintMode::ScreenSaver;
    CommandState empty = Album(2);
    empty.fileCount = 0;
    empty.firstFilePage = empty.firstIndexPage = 3;
    empty.backCoverPage = empty.lastPage = 4;
    return {{"front cover", at(Album(0), 2999, 1, 0, false)},
            {"contents entry", at(Album(4), 50001, 4, 1, false)},
            {"index entry", at(Album(16), 60003, 16, 3, false)},
            {"overview entry", at(Album(2), 70005, 2, 5, false)},
            {"picture page", at(Pictures(), 1999, 6, 1, true)},
            {"sound page", at(Files(8, 3), 2999, 9, 3, true)},
            {"MIDI page", at(Files(10, 4), 1999, 10, 4, true)},
            {"selected picture", selected},
            {"bookmarked picture", marked},
            {"read-only album", readOnly},
            {"bookmark tab", at(Pictures(), 3001, 0, 0, false)},
            {"auto flipping", autoFlip},
            {"screen-saver run", saver},
            {"empty album", at(empty, 2999, 3, 0, false)},
            {"back cover", at(Album(18), 1999, 18, 0, false)}};
}

// Columns: front cover, contents entry (a picture), index entry (a sound), overview entry (a
// video), picture page, sound page, MIDI page, selected picture, bookmarked picture, read-only
// album, bookmark tab, auto flipping, screen-saver run, empty album, back cover.
const Row kPopupTable[] = {
    {"btnView1 btnInfo1 btnCopyto1 btnMoveto1 btnDelete1 btnRename1", ".xxxxxxxxx....."},
    {"Saveas1 btnSizeChange1 btnPrint1 Rotate3 LeftRotate901 RightRotate901 AnyAngle1 mnuEdit2 CopytoClipboard1",
     ".x..x..xxx....."},
    // The comment editor works on a picture shown on an open page.
    {"btnAnnotate1", "....xxxxx......"},
    {"btnBatchSelect1", ".xxxxxx.xx....."},
    {"btnBatchUnselect1", ".......x......."},
    {"Bookmarks1", ".xxxxxxxxx....."},
    {"PopupBookmarkAdd1", ".xxxxxxx.x....."},
    {"PopupBookmarkRemove1", "........x......"},
    {"AutoFlipping2 WindowFrame1", "xxxxxxxxxxx..xx"},
};

std::vector<std::string> Split(const char *names)
{
    std::istringstream in(names);
    std::vector<std::string> out;
    for (std::string name; in >> name;) out.push_back(name);
    return out;
}

void CheckTable(const std::vector<Column> &columns, const Row *begin, const Row *end, std::set<std::string> &seen)
{
    std::vector<CommandFlags> flags;
    for (const Column &c : columns) flags.push_back(CommandAvailability(c.state));
    for (const Row *row = begin; row != end; ++row) {
        ASSERT_EQ(std::string(row->expected).size(), columns.size()) << row->names;
        for (const std::string &name : Split(row->names)) {
            const auto it = AllFlags().find(name);
            ASSERT_NE(it, AllFlags().end()) << name << " is not a governed command";
            EXPECT_TRUE(seen.insert(name).second) << name << " appears in two rows";
            for (size_t c = 0; c < columns.size(); ++c)
                EXPECT_EQ(flags[c].*(it->second), row->expected[c] == 'x') << name << " on " << columns[c].name;
        }
    }
}

} // namespace

TEST(CommandAvailabilityTest, EveryCommandOverEveryKindOfSpreadAndPopupTarget)
{
    std::set<std::string> seen;
    CheckTable(SpreadColumns(), std::begin(kSpreadTable), std::end(kSpreadTable), seen);
    CheckTable(PopupColumns(), std::begin(kPopupTable), std::end(kPopupTable), seen);
    for (const auto &[name, flag] : AllFlags()) EXPECT_TRUE(seen.count(name)) << name << " is in no row of the tables";
}

TEST(CommandAvailabilityTest, PopupCaptionAndCheckMarksFollowTheModeAndTheFrame)
{
    CommandState s = Pictures();
    EXPECT_FALSE(CommandAvailability(s).autoFlippingStops);
    EXPECT_TRUE(CommandAvailability(s).popupWindowFrameChecked);
    s.mode = PaintMode::AutoFlipping;
    EXPECT_TRUE(CommandAvailability(s).autoFlippingStops);
    EXPECT_FALSE(CommandAvailability(s).popupWindowFrameChecked);   // not checked while auto flipping
    EXPECT_TRUE(CommandAvailability(s).windowFrameChecked);
    s.mode = PaintMode::Normal;
    s.windowFrameShown = false;
    EXPECT_FALSE(CommandAvailability(s).popupWindowFrameChecked);
    EXPECT_FALSE(CommandAvailability(s).windowFrameChecked);
}

TEST(CommandAvailabilityTest, PrintingWaitsForARunningPrintJob)
{
    CommandState s = Pictures();
    s.popupTarget = 1999;
    s.popupPage = 6;
    s.popup.mediaKind = 1;
    s.printJobRunning = true;
    const CommandFlags f = CommandAvailability(s);
    for (Flag flag : {&CommandFlags::LeftPageFile1, &CommandFlags::RightPageFile1, &CommandFlags::OverviewPages1,
                      &CommandFlags::btnPrint1})
        EXPECT_FALSE(f.*flag);
    EXPECT_TRUE(f.SaveLeftPageImageFileAs1);
}

TEST(CommandAvailabilityTest, NothingRunsWhileABatchRuns)
{
    CommandState s = Pictures();
    s.left.selected = true;
    s.selectionCount = 1;
    s.batchRunning = true;
    const CommandFlags f = CommandAvailability(s);
    for (Flag flag : {&CommandFlags::All3, &CommandFlags::All2, &CommandFlags::Rotate2, &CommandFlags::Delete1,
                      &CommandFlags::LeftPageFile2, &CommandFlags::BatchSelRImg})
        EXPECT_FALSE(f.*flag);
}
