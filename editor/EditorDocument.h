#pragma once
// The picture the image editor works on: the main image with its file and state, the one-level undo
// copy, and the floating selection (a copy of a rectangular or elliptical region that moves over
// the picture until it is pasted down or dropped). No window: the editor window shows it.
#include "core/editor/EditorRules.h"

#include <QDateTime>
#include <QImage>
#include <QPainterPath>
#include <QRect>
#include <QString>

namespace pagero::editor {

enum RegionKind { NoRegion = 0, RectRegion = 1, EllipseRegion = 2 };

class EditorDocument {
public:
    bool Loaded() const { return !main_.isNull(); }
    const QImage &Main() const { return main_; }
    const QString &FileName() const { return fileName_; }
    int State() const { return state_; }
    void SetState(int state) { state_ = state; }

    // A picture file as read, on any thread: the picture in Format_RGB32 (null on failure, with the
    // reason) and the file's time and size from before the read.
    struct PictureRead {
        QImage image;
        QString error;
        QDateTime time;
        qint64 size = -1;
    };
    static PictureRead Read(const QString &path);
    // Takes a picture read from `path`; on failure nothing stays loaded and `error` gives the reason.
    bool Adopt(const QString &path, PictureRead read, QString *error = nullptr);
    // Loads a picture file; on failure nothing stays loaded and `error` gives the reason.
    bool Load(const QString &path, QString *error = nullptr) { return Adopt(path, Read(path), error); }
    // A new picture (New, screen capture, paste of a larger picture) in `state`, with no file.
    void Replace(QImage image, int state, const QString &fileName = {});
    // After a successful save to `path`: the picture is that file's, clean, and the undo copy goes.
    void Saved(const QString &path);
    // Whether the file changed on disk (time or size) since it was loaded or saved.
    bool ChangedOnDisk() const;

    // One-level undo of the main image with its file name and state.
    void TakeUndoPoint();
    bool HasUndo() const { return !undo_.isNull(); }
    void Undo();   // ends any floating selection first, without pasting
    void DropUndo() { undo_ = QImage(); }

    // The floating selection. `rect` is in picture pixels and is clipped to the picture; false
    // when nothing of it is left.
    bool Floating() const { return !floating_.isNull(); }
    bool MakeSelection(QRect rect, RegionKind kind);
    // Puts `image` on the picture as a rectangular floating selection at `at`.
    void FloatImage(const QImage &image, QPoint at);
    RegionKind Kind() const { return kind_; }
    QRect FloatingRect() const { return current_; }
    const QImage &FloatingImage() const { return floating_; }
    QPainterPath FloatingRegion() const;   // the region at its current place
    bool InFloatingRegion(QPoint p) const;
    void MoveFloating(QPoint by) { current_.translate(by); }
    void PasteDown();   // paints the floating image through its region and ends the selection
    void Deselect();    // ends it without pasting
    // The picture becomes the floating image on `fill` (outside an ellipse); ends the selection.
    bool Crop(QColor fill);

    // What one-step commands and the dialogs change: the floating image while there is one.
    const QImage &Target() const { return Floating() ? floating_ : main_; }
    // Replaces the target with the result of an operation and records the change.
    void SetTarget(QImage image);

private:
    void Stamp();

    QImage main_;
    QString fileName_;
    int state_ = Clean;
    QDateTime stampTime_;
    qint64 stampSize_ = -1;

    QImage undo_;
    QString undoFileName_;
    int undoState_ = Clean;

    QImage floating_;
    RegionKind kind_ = NoRegion;
    QRect origin_, current_;
};

} // namespace pagero::editor
