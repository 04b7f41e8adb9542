#include "app/ToolBarPress.h"
#include <QAction>
#include <QEvent>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QToolBar>
#include <QToolButton>

namespace pagero {

namespace {

QIcon Inverted(const QIcon &icon, QSize size)
{
    QIcon inverted;
    for (const qreal ratio : {1.0, 2.0}) {
        QImage image = icon.pixmap(size, ratio).toImage().convertToFormat(QImage::Format_ARGB32);
        image.invertPixels(QImage::InvertRgb);   // the colours turn, the transparent corners stay
        inverted.addPixmap(QPixmap::fromImage(image));
    }
    return inverted;
}

class PressedPicture : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *e) override
    {
        auto *button = qobject_cast<QToolButton *>(watched);
        QAction *action = button ? button->defaultAction() : nullptr;
        if (!action) return false;
        if (e->type() == QEvent::MouseButtonPress && button->isEnabled() && !pressed_) {
            pressed_ = action;
            picture_ = action->icon();
            action->setIcon(Inverted(picture_, button->iconSize()));
        } else if (e->type() == QEvent::MouseButtonRelease && pressed_ == action) {
            pressed_ = nullptr;
            action->setIcon(picture_);
        }
        return false;
    }

private:
    QAction *pressed_ = nullptr;
    QIcon picture_;
};

} // namespace

void InvertPicturesWhilePressed(QToolBar *toolBar)
{
    auto *filter = new PressedPicture(toolBar);
    for (QAction *action : toolBar->actions())
        if (QWidget *button = toolBar->widgetForAction(action)) button->installEventFilter(filter);
}

} // namespace pagero
