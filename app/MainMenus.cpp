#include "app/MainMenus.h"
#include "app/ToolBarPress.h"
#include <QAction>
#include <QActionGroup>
#include <QHash>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QToolBar>
#include <QtGlobal>

namespace pagero {

namespace {

// ---------------------------------------------------------------- tool-bar pictures
// Each button shows a small picture drawn here (the bar needs no picture files); the button's text
// stays as its tool tip. Qt greys a picture by itself while its command is unavailable.

constexpr int kIconSize = 24;

void Badge(QPainter &p, const QString &letter)
{
    // The page side a button acts on, as a small letter at the bottom right.
    const QRectF box(14, 13, 10, 11);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 40));
    p.drawRoundedRect(box, 2, 2);
    QFont f = p.font();
    f.setPixelSize(9);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(box, Qt::AlignCenter, letter);
}

void Folder(QPainter &p, bool open)
{
    p.setPen(QPen(QColor(150, 110, 20), 1.2));
    p.setBrush(QColor(240, 200, 90));
    QPainterPath back;
    back.moveTo(2, 6);
    back.lineTo(9, 6);
    back.lineTo(11, 8);
    back.lineTo(20, 8);
    back.lineTo(20, 19);
    back.lineTo(2, 19);
    back.closeSubpath();
    p.drawPath(back);
    if (open) {
        p.setBrush(QColor(250, 220, 120));
        p.drawPolygon(QPolygonF({QPointF(5, 11), QPointF(23, 11), QPointF(20, 19), QPointF(2, 19)}));
    }
}

void Clipboard(QPainter &p)
{
    p.setPen(QPen(QColor(90, 60, 30), 1.2));
    p.setBrush(QColor(200, 150, 90));
    p.drawRoundedRect(QRectF(4, 4, 15, 18), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6.5, 7.5, 10, 12));
    p.setBrush(QColor(160, 160, 160));
    p.drawRoundedRect(QRectF(8, 2, 7, 4), 1, 1);
}

void Arrow(QPainter &p, QPointF from, QPointF to, QColor colour)
{
    p.setPen(QPen(colour, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    const QLineF line(to, from);
    QLineF wing = line;
    wing.setLength(5);
    wing.setAngle(line.angle() + 35);
    p.drawLine(wing);
    wing.setAngle(line.angle() - 35);
    p.drawLine(wing);
}

void Pencil(QPainter &p)
{
    p.save();
    p.translate(12, 12);
    p.rotate(-45);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(250, 190, 40));
    p.drawRect(QRectF(-7, -2.5, 12, 5));
    p.setBrush(QColor(240, 150, 150));
    p.drawRect(QRectF(-10, -2.5, 3, 5));
    p.setBrush(QColor(240, 220, 180));
    p.drawPolygon(QPolygonF({QPointF(5, -2.5), QPointF(10, 0), QPointF(5, 2.5)}));
    p.restore();
}

void Note(QPainter &p)
{
    p.setPen(QPen(QColor(120, 110, 40), 1.2));
    p.setBrush(QColor(255, 240, 130));
    p.drawPolygon(QPolygonF({QPointF(3, 3), QPointF(19, 3), QPointF(19, 15), QPointF(15, 19), QPointF(3, 19)}));
    p.setPen(QPen(QColor(120, 110, 40), 1));
    for (int y : {7, 10, 13}) p.drawLine(QPointF(6, y), QPointF(16, y));
}

void Ribbon(QPainter &p, bool add)
{
    p.setPen(QPen(QColor(130, 20, 20), 1.2));
    p.setBrush(QColor(220, 50, 50));
    p.drawPolygon(QPolygonF({QPointF(5, 2), QPointF(15, 2), QPointF(15, 20), QPointF(10, 15), QPointF(5, 20)}));
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7, 8), QPointF(13, 8));
    if (add) p.drawLine(QPointF(10, 5), QPointF(10, 11));
}

void CheckBox(QPainter &p, bool ticked)
{
    p.setPen(QPen(QColor(40, 70, 140), 1.4));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(3, 3, 15, 15), 2, 2);
    if (ticked) {
        p.setPen(QPen(QColor(20, 150, 40), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(6, 10), QPointF(9.5, 14), QPointF(16, 6)}));
    } else {
        p.setPen(QPen(QColor(200, 40, 40), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(7, 7), QPointF(14, 14));
        p.drawLine(QPointF(14, 7), QPointF(7, 14));
    }
}

void DrawToolIcon(QPainter &p, const QString &name)
{
    // "...LImg" and "...RImg" act on the left and right page.
    const QString side = name.endsWith("LImg") ? QStringLiteral("L")
                         : name.endsWith("RImg") ? QStringLiteral("R")
                                                 : QString();
    if (name == "NewImg") {
        Folder(p, false);
        p.setPen(QPen(QColor(20, 140, 40), 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(18, 14), QPointF(18, 22));
        p.drawLine(QPointF(14, 18), QPointF(22, 18));
    } else if (name == "OpenImg") {
        Folder(p, true);
    } else if (name == "CopyFromImg") {
        Folder(p, false);
        Arrow(p, QPointF(22, 2), QPointF(13, 13), QColor(20, 110, 200));
    } else if (name.startsWith("CopyToClipBd")) {
        Clipboard(p);
        Arrow(p, QPointF(8, 17), QPointF(14, 11), QColor(20, 110, 200));
    } else if (name == "PastFromClipBdImg") {
        Clipboard(p);
        Arrow(p, QPointF(11, 10), QPointF(20, 19), QColor(20, 140, 40));
    } else if (name.startsWith("Edit")) {
        Pencil(p);
    } else if (name.startsWith("Annotation")) {
        Note(p);
    } else if (name.startsWith("AddBookmark")) {
        Ribbon(p, true);
    } else if (name.startsWith("RemoveBookmark")) {
        Ribbon(p, false);
    } else if (name == "FlipToOverviewImg") {
        p.setPen(QPen(QColor(60, 60, 60), 1));
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) {
                p.setBrush(QColor::fromHsv((r * 3 + c) * 40, 120, 220));
                p.drawRect(QRectF(3 + c * 6.5, 3 + r * 6.5, 5, 5));
            }
    } else if (name == "BkMusicImg") {
        p.setPen(QPen(QColor(40, 40, 120), 2));
        p.setBrush(QColor(40, 40, 120));
        p.drawLine(QPointF(9, 18), QPointF(9, 4));
        p.drawLine(QPointF(19, 16), QPointF(19, 2));
        p.drawLine(QPointF(9, 4), QPointF(19, 2));
        p.drawEllipse(QPointF(6.5, 18.5), 3, 2.3);
        p.drawEllipse(QPointF(16.5, 16.5), 3, 2.3);
    } else if (name == "AutoFlippingImg") {
        p.setPen(QPen(QColor(80, 80, 80), 1.2));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2, 5, 9, 14));
        p.drawRect(QRectF(12, 5, 9, 14));
        QPainterPath curl;
        curl.moveTo(16, 4);
        curl.quadTo(12, -1, 7, 4);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(20, 110, 200), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(curl);
        p.drawLine(QPointF(7, 4), QPointF(9.5, 1.5));
        p.drawLine(QPointF(7, 4), QPointF(10.5, 5));
    } else if (name == "SlideShowImg") {
        p.setPen(QPen(QColor(60, 60, 60), 1.2));
        p.setBrush(QColor(60, 90, 150));
        p.drawRect(QRectF(2, 4, 20, 14));
        p.drawLine(QPointF(12, 18), QPointF(12, 22));
        p.drawLine(QPointF(7, 22), QPointF(17, 22));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF({QPointF(9, 7), QPointF(16, 11), QPointF(9, 15)}));
    } else if (name.startsWith("BatchSel")) {
        CheckBox(p, true);
    } else if (name.startsWith("BatchDeselect")) {
        CheckBox(p, false);
    } else if (name == "EMailImg") {
        p.setPen(QPen(QColor(70, 70, 70), 1.2));
        p.setBrush(QColor(250, 250, 245));
        p.drawRect(QRectF(2, 6, 20, 13));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(2, 6), QPointF(12, 14), QPointF(22, 6)}));
    }
    if (!side.isEmpty()) Badge(p, side);
}

QIcon ToolIcon(const QString &name)
{
    QIcon icon;
    for (const int scale : {1, 2}) {   // a sharp picture on high-density screens as well
        QPixmap pixmap(kIconSize * scale, kIconSize * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        DrawToolIcon(p, name);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

class Builder {
public:
    explicit Builder(MainMenus &m) : m_(m) {}

    QMenu *top(const QString &name, const QString &caption)
    {
        QMenu *menu = m_.bar->addMenu(caption);
        menu->setObjectName(name);
        menu->menuAction()->setObjectName(name);
        Register(menus_, name, menu);
        return menu;
    }
    QMenu *sub(QMenu *parent, const QString &name, const QString &caption)
    {
        QMenu *menu = parent->addMenu(caption);
        menu->setObjectName(name);
        menu->menuAction()->setObjectName(name);
        Register(menus_, name, menu);
        return menu;
    }
    QAction *item(QMenu *parent, const QString &name, const QString &caption, bool checkable = false)
    {
        auto *a = new QAction(caption, parent);
        a->setObjectName(name);
        a->setCheckable(checkable);
        a->setEnabled(false);
        parent->addAction(a);
        Register(actions_, name, a);
        return a;
    }
    // An item of a numbered list (recent folders, bookmark targets): hidden until it has a caption.
    QAction *numbered(QMenu *parent, const QString &name)
    {
        auto *a = new QAction(parent);
        a->setObjectName(name);
        a->setEnabled(false);
        a->setVisible(false);
        parent->addAction(a);
        return a;
    }
    void sep(QMenu *parent) { parent->addSeparator(); }
    QAction *button(const QString &name, const QString &text, const QString &hint)
    {
        auto *a = new QAction(text, m_.toolBar);
        a->setObjectName(name);
        a->setToolTip(hint.isEmpty() ? text : hint);
        a->setIcon(ToolIcon(name));
        a->setEnabled(false);
        m_.toolBar->addAction(a);
        Register(actions_, name, a);
        return a;
    }

    // Fills the typed members from what was built. A listed name that was not built, or a built one
    // that is not listed, is a programming error caught at the first start in any build type.
    void Bind(MainMenus &m)
    {
        int bound = 0;
#define PAGERO_BIND(name) m.actions.name = Take(actions_, #name, bound);
        PAGERO_MENU_ACTIONS(PAGERO_BIND)
        PAGERO_TOOLBAR_ACTIONS(PAGERO_BIND)
#undef PAGERO_BIND
#define PAGERO_BIND(name) m.menus.name = Take(menus_, #name, bound);
        PAGERO_MENUS(PAGERO_BIND)
#undef PAGERO_BIND
        if (bound != actions_.size() + menus_.size())
            qFatal("The menus build commands that MainMenus.h does not list");
    }

private:
    template <typename T>
    static void Register(QHash<QString, T *> &all, const QString &name, T *object)
    {
        if (all.contains(name)) qFatal("Two commands are named %s", qPrintable(name));
        all.insert(name, object);
    }
    template <typename T>
    static T *Take(const QHash<QString, T *> &all, const char *name, int &bound)
    {
        T *object = all.value(QLatin1String(name));
        if (!object) qFatal("The command %s is listed but not built", name);
        ++bound;
        return object;
    }

    MainMenus &m_;
    QHash<QString, QAction *> actions_;
    QHash<QString, QMenu *> menus_;
};

void BuildFileMenu(Builder &b, MainMenus &m)
{
    QMenu *file = b.top("File1", "&File");
    b.item(file, "NewFolder1", "&New Folder...");
    b.item(file, "Open2", "&Open Folder...");
    b.item(file, "DeleteFolder1", "&Delete Folder...");
    b.sep(file);
    b.item(file, "Import1", "Copy &From...");
    QMenu *copy = b.sub(file, "CopyPageFileTo1", "&Copy Page File To");
    b.item(copy, "CopyLeftPageFileAs1", "&Left Page File...");
    b.item(copy, "CopyRightPageFileAs1", "&Right Page File...");
    QMenu *move = b.sub(file, "MovePageFileTo1", "&Move Page File To");
    b.item(move, "MoveLeftpagefileas1", "&Left Page File...");
    b.item(move, "MoveRightpagefileas1", "&Right Page File...");
    QMenu *rename = b.sub(file, "RenamePageFile1", "&Rename Page File");
    b.item(rename, "RenameLeftPageImageFile1", "&Left Page File...");
    b.item(rename, "RenameRightPageImageFile1", "&Right Page File...");
    QMenu *del = b.sub(file, "DeletePageFile1", "D&elete Page File");
    b.item(del, "DeleteLeftPageFile1", "&Left Page File...");
    b.item(del, "DeleteRightPageFile1", "&Right Page File...");
    QMenu *saveAs = b.sub(file, "Saveas2", "&Save As");
    b.item(saveAs, "SaveLeftPageImageFileAs1", "&Left Page Image File...");
    b.item(saveAs, "SaveRightPageImageFileAs1", "&Right Page Image File...");
    b.sep(file);
    QMenu *get = b.sub(file, "GetImage1", "&Get Image");
    b.item(get, "Select1", "&Select Source...");
    b.item(get, "Acquire1", "&Acquire...");
    b.item(get, "TWainSaveAs", "Sa&ve as...");
    QMenu *print = b.sub(file, "Print1", "&Print");
    b.item(print, "LeftPageFile1", "&Left Page File...");
    b.item(print, "RightPageFile1", "&Right Page File...");
    b.item(print, "OverviewPages1", "&Overview Pages...");
    m.mruSeparator = file->addSeparator();
    for (int i = 1; i <= 12; ++i) {
        QAction *a = b.numbered(file, QString("MRU%1").arg(i));
        a->setVisible(false);
        m.mru.append(a);
    }
    b.sep(file);
    b.item(file, "Exit2", "E&xit");
}

void BuildEditMenu(Builder &b)
{
    QMenu *edit = b.top("Edit1", "&Edit");
    QMenu *clip = b.sub(edit, "CopyToClipboard2", "&Copy To Clipboard");
    b.item(clip, "LeftPageImage4", "&Left Page Image");
    b.item(clip, "RightPageImage4", "&Right Page Image");
    b.item(edit, "Paste1", "&Paste From Clipboard");
    b.sep(edit);
    QMenu *image = b.sub(edit, "Image3", "Image &Edit");
    b.item(image, "LeftPageImage3", "&Left Page Image File...");
    b.item(image, "RightPageImage3", "&Right Page Image File...");
    QMenu *rotate = b.sub(edit, "Rotate1", "&Rotate");
    b.item(rotate, "LeftPageImage901", "L&eft Page Image File -90°");
    b.item(rotate, "LeftPageImage902", "Le&ft Page Image File +90°");
    b.item(rotate, "RightPageImage901", "R&ight Page Image File -90°");
    b.item(rotate, "RightPageImage902", "Ri&ght Page Image File +90°");
    b.sep(rotate);
    b.item(rotate, "LeftPageImage5", "&Left Page Image File...");
    b.item(rotate, "RightPageImage5", "&Right Page Image File...");
    QMenu *size = b.sub(edit, "SizeChange1", "Si&ze Change");
    b.item(size, "LeftPageImage6", "&Left Page Image File...");
    b.item(size, "RightPageImage6", "&Right Page Image File...");
    QMenu *annotate = b.sub(edit, "Annotate1", "&Annotate");
    b.item(annotate, "LeftPageImageComment1", "&Left Page...");
    b.item(annotate, "RightPageImageComment1", "&Right Page...");
    b.item(edit, "AlbumName1", "Change Album &Name...");
    b.sep(edit);
    QMenu *batch = b.sub(edit, "Batch1", "&Batch");
    b.item(batch, "All3", "Select &All");
    b.item(batch, "All2", "Deselect A&ll");
    b.item(batch, "LeftPageFile3", "Select L&eft Page File");
    b.item(batch, "RightPageFile3", "Select R&ight Page File");
    b.item(batch, "LeftPageFile2", "Deselect Le&ft Page File");
    b.item(batch, "RightPageFile2", "Deselect Ri&ght Page File");
    b.sep(batch);
    b.item(batch, "Rotate2", "&Rotate...");
    b.item(batch, "SizeChange2", "Si&ze Change...");
    b.item(batch, "CopyTo1", "&Copy To...");
    b.item(batch, "MoveTo1", "&Move To...");
    b.item(batch, "Delete1", "De&lete");
    b.item(batch, "EMailSend1", "&E-Mail (Send)...");
}

void BuildViewMenu(Builder &b, QWidget *owner)
{
    QMenu *view = b.top("View1", "&View");
    QMenu *preview = b.sub(view, "PreviewPlay1", "&Preview/Play");
    b.item(preview, "LeftImage1", "&Left Image...");
    b.item(preview, "RightImage1", "&Right Image...");
    QMenu *info = b.sub(view, "Information1", "&Information");
    b.item(info, "LeftImage2", "&Left Image...");
    b.item(info, "RightImage2", "&Right Image...");
    b.sep(view);
    QMenu *sort = b.sub(view, "SortPages1", "So&rt Pages");
    auto *sortGroup = new QActionGroup(owner);
    sortGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
    for (auto [name, caption] : {std::pair{"byName1", "by &Name"}, {"byType1", "by &Type"},
                                 {"bySize1", "by Si&ze"}, {"byDate1", "by &Date"},
                                 {"byDefault1", "by De&fault"}})
        sortGroup->addAction(b.item(sort, name, caption, true));
    sortGroup->actions().last()->setVisible(false);
    sortGroup->actions().first()->setChecked(true);
    b.item(view, "FilterPages1", "File Type &Filter...");
    QMenu *thumb = b.sub(view, "ThumbnailSize1", "Thumbnail &Size");
    b.item(thumb, "btnExtraLarge1", "E&xtra Large (256 x 250)", true);
    b.item(thumb, "btnLarger1", "Lar&ge (144 x 140)", true);
    b.item(thumb, "btnLargest1", "&Large (72 x 70)", true)->setChecked(true);
    b.item(thumb, "btnMiddle1", "&Medium (56 x 55)", true);
    b.item(thumb, "btnSmallest1", "&Small (38x 36)", true);
    b.item(view, "EmptyOverviewCache1", "Empty &Overview Cache");
    b.sep(view);
    b.item(view, "ToolBar1", "&Toolbar", true)->setChecked(true);
    b.item(view, "WindowFrame2", "Window &Frame", true)->setChecked(true);
}

void BuildFlipToMenu(Builder &b)
{
    QMenu *flip = b.top("FlipTo1", "F&lipTo");
    b.item(flip, "Overview1", "&Overview");
    b.item(flip, "Contents1", "&Contents");
    b.item(flip, "FirstPage1", "&First Page");
    b.item(flip, "Index1", "&Index");
    b.sep(flip);
    b.item(flip, "PageNo1", "&Page No...");
    b.item(flip, "FileName1", "&File &Name...");
}

void BuildBookmarksMenu(Builder &b, MainMenus &m)
{
    QMenu *bm = b.top("BookMark1", "&Bookmarks");
    QMenu *add = b.sub(bm, "btnAdd1", "&Add");
    b.item(add, "btnAddLeftPage", "&Left Page");
    b.item(add, "btnAddRightPage", "&Right Page");
    QMenu *remove = b.sub(bm, "btnRemove", "&Remove");
    b.item(remove, "btnRmvLeftPage", "&Left Page");
    b.item(remove, "btnRmvRightPage", "&Right Page");
    QMenu *flipTo = b.sub(bm, "FlipToBookmarkedPage", "&Flip To Bookmarked Page");
    for (int i = 1; i <= 12; ++i) m.bookmarks.append(b.numbered(flipTo, QString("BK%1").arg(i)));
    b.item(bm, "Clearallbookmark1", "&Clear All Bookmarks");
    b.sep(bm);
    QMenu *type = b.sub(bm, "SelectBookmarkType1", "Bookmark &Type");
    b.item(type, "WithPageNo1", "With Page &No", true)->setChecked(true);
    b.item(type, "Fancy1", "&Fancy", true);
    b.item(bm, "EmptyBookmarksFolder1", "Empty &Bookmarks Folder");
}

void BuildToolsMenu(Builder &b)
{
    QMenu *tools = b.top("Tools1", "&Tools");
    b.item(tools, "AutoFLipping1", "&Auto Flipping");
    b.item(tools, "SliderShow1", "&Slide Show");
    b.item(tools, "EMail1", "&E-Mail (Send)...");
    QAction *n29 = tools->addSeparator();
    n29->setObjectName("N29");
    n29->setVisible(false);
    b.item(tools, "MaketoScreenSaver1", "&Make to Screen Saver")->setVisible(false);
}

void BuildOptionsMenu(Builder &b)
{
    QMenu *opt = b.top("Options1", "&Options");
    b.item(opt, "SetFlipSpeedWn", "Set Flipping Sp&eed...");
    b.item(opt, "FlippingControl2", "&Flipping Control...");
    b.item(opt, "FlippingSound1", "Enable Flipping &Sound", true);
    b.sep(opt);
    b.item(opt, "BackgroundMusic1", "Enable Background &Music", true);
    b.item(opt, "SetBackgroundMusic1", "Set Backgro&und Music...");
    b.sep(opt);
    b.item(opt, "SetAutoFlipping1", "Set Auto F&lipping...");
    b.item(opt, "SetSlider1", "Set Sli&de Show...");
    b.sep(opt);
    QMenu *back = b.sub(opt, "SetBookBackground1", "Set Book Back&ground");
    b.item(back, "Default1", "&Default");
    b.item(back, "Color1", "&Color...");
    b.item(back, "btnBitmap1", "&Bitmap...");
    QMenu *cover = b.sub(opt, "SetCoverPattern1", "Set &Cover Pattern");
    b.item(cover, "Default2", "&Default");
    b.item(cover, "Color2", "&Color...");
    b.item(cover, "btnBitmap2", "&Bitmap...");
    b.sep(opt);
    b.item(opt, "SetEMailOptions1", "E-&Mail Options...");
    b.sep(opt);
    b.item(opt, "JCAutoShow", "Enable &Page-Jump Cursor", true);
    b.item(opt, "AutoReopen", "&Auto Reopen Most Recent Folder", true);
    b.item(opt, "AutoFlipToOverview", "Flip &to Overview when Opening Album", true);
}

void BuildHelpMenu(Builder &b)
{
    QMenu *help = b.top("Help1", "&Help");
    b.item(help, "Context1", "&Contents");
    b.sep(help);
    b.item(help, "Credits1", "C&redits...");
    b.item(help, "About1", "&About...");
}

void BuildPopupMenu(Builder &b, MainMenus &m, QWidget *owner)
{
    m.popup = new QMenu(owner);
    m.popup->setObjectName("PopupMenu1");
    QMenu *p = m.popup;
    b.item(p, "btnView1", "Pre&view/Play ");
    b.item(p, "btnInfo1", "&Information");
    QMenu *bm = b.sub(p, "Bookmarks1", "&Bookmarks");
    b.item(bm, "PopupBookmarkAdd1", "&Add");
    b.item(bm, "PopupBookmarkRemove1", "&Remove");
    b.item(p, "CopytoClipboard1", "C&opy to Clipboard");
    b.item(p, "mnuEdit2", "Image &Edit...");
    b.item(p, "btnAnnotate1", "&Annotate...");
    QMenu *rotate = b.sub(p, "Rotate3", "&Rotate");
    b.item(rotate, "LeftRotate901", "&Left by 90°");
    b.item(rotate, "RightRotate901", "&Right by 90°");
    b.item(rotate, "AnyAngle1", "by &Other Angles...");
    b.item(p, "btnSizeChange1", "Si&ze Change...");
    b.item(p, "btnBatchSelect1", "Batch Se&lect");
    b.item(p, "btnBatchUnselect1", "Batch Deselec&t");
    b.item(p, "Saveas1", "&Save as...");
    b.item(p, "btnCopyto1", "&Copy to..");
    b.item(p, "btnMoveto1", "&Move to...");
    b.item(p, "btnRename1", "Re&name...");
    b.item(p, "btnDelete1", "&Delete");
    b.item(p, "btnPrint1", "&Print...");
    b.item(p, "AutoFlipping2", "A&uto Flipping");
    b.item(p, "WindowFrame1", "Window &Frame", true);
}

void BuildToolBar(Builder &b)
{
    b.button("NewImg", "New", "Create a new folder");
    b.button("OpenImg", "Open", "Open a folder");
    b.button("CopyFromImg", "Copy From", "Copy an image file to the current folder");
    b.button("CopyToClipBdLImg", "Copy L", "Copy left page image to clipboard");
    b.button("CopyToClipBdRImg", "Copy R", "Copy right page image to clipboard");
    b.button("PastFromClipBdImg", "Paste", "Paste image from clipboard");
    b.button("EditLImg", "Edit L", "Edit left page image file");
    b.button("EditRImg", "Edit R", "Edit right page image file");
    b.button("AnnotationLImg", "Note L", "Annotate left page");
    b.button("AnnotationRImg", "Note R", "Annotate right page");
    b.button("AddBookmarkLImg", "Mark L", "Add bookmark to left page");
    b.button("AddBookmarkRImg", "Mark R", "Add bookmark to right page");
    b.button("RemoveBookmarkLImg", "Unmark L", "Remove bookmark from left page");
    b.button("RemoveBookmarkRImg", "Unmark R", "Remove bookmark from right page");
    b.button("FlipToOverviewImg", "Overview", "Flip to Overview page");
    b.button("BkMusicImg", "Music", "Play/Stop background music");
    b.button("AutoFlippingImg", "Auto", "Auto flipping/Stop flipping");
    b.button("SlideShowImg", "Slides", "Slide show");
    b.button("BatchSelLImg", "Sel L", "Select left page file for batch processing");
    b.button("BatchSelRImg", "Sel R", "Select right page file for batch processing");
    b.button("BatchDeselectLImg", "Desel L", "Deselect left page file from batch processing");
    b.button("BatchDeselectRImg", "Desel R", "Deselect right page file from batch processing");
    b.button("EMailImg", "E-Mail", "E-mail images and text");
}

} // namespace

MainMenus BuildMainMenus(QWidget *owner, QWidget *toolBarParent)
{
    MainMenus m;
    m.bar = new QMenuBar(owner);
    m.bar->setObjectName("MainMenu1");
    m.toolBar = new QToolBar(toolBarParent);
    m.toolBar->setObjectName("SpeedPanel");
    m.toolBar->setMovable(false);
    // The bar lies over the top of the book area with a background of its own: a leaf rising above
    // the pages during a flip passes behind the bar, never between its buttons.
    m.toolBar->setAutoFillBackground(true);
    m.toolBar->setFloatable(false);
    m.toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m.toolBar->setIconSize(QSize(kIconSize, kIconSize));
    Builder b(m);
    BuildFileMenu(b, m);
    BuildEditMenu(b);
    BuildViewMenu(b, owner);
    BuildFlipToMenu(b);
    BuildBookmarksMenu(b, m);
    BuildToolsMenu(b);
    BuildOptionsMenu(b);
    BuildHelpMenu(b);
    BuildPopupMenu(b, m, owner);
    BuildToolBar(b);
    b.Bind(m);
    InvertPicturesWhilePressed(m.toolBar);
    return m;
}

} // namespace pagero
