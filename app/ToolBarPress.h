#pragma once
// A pressed tool-bar button shows its picture inverted (every pixel's colour); releasing it puts
// the picture back before its command runs.
class QToolBar;

namespace pagero {

void InvertPicturesWhilePressed(QToolBar *toolBar);

} // namespace pagero
