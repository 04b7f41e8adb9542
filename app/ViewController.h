#pragma once
// Looking at one page file: the preview of pictures or the play of sound, MIDI and video, and
// the information box, from the View menu, the page pop-up menu, a click or the space key.
#include <QObject>
#include <QString>
#include <functional>

namespace pagero {

class BookContext;
class TInfoBox;
class TPreviewPic_Fm;
struct MainMenus;

class ViewController : public QObject {
public:
    // `popupFile` gives the file under the pop-up menu when it opened (empty: none);
    // `removeHighlight` forgets the pointer highlight before the preview covers the book.
    ViewController(BookContext &book, const MainMenus &menus, std::function<QString()> popupFile,
                   std::function<void()> removeHighlight, QObject *parent = nullptr);

    void PreviewOrPlay(const QString &path);
    void ShowInformation(const QString &path);

    // Sound, MIDI and video files are played and described by the media controller.
    std::function<void(const QString &path)> playMedia, showMediaInfo;

    TPreviewPic_Fm *Preview() const { return preview_; }
    TInfoBox *InfoBox() const { return infoBox_; }

private:

    BookContext &book_;
    const MainMenus &menus_;
    std::function<void()> removeHighlight_;
    TPreviewPic_Fm *preview_ = nullptr;
    TInfoBox *infoBox_ = nullptr;
};

} // namespace pagero
