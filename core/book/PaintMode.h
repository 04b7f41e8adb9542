#pragma once

namespace pagero {

// What the main window's client area shows and how input is taken. Paused is left by the next
// click; nothing in the program enters it yet.
enum class PaintMode { Normal = 1, AcquiredPicture = 2, AutoFlipping = 3, Paused = 5, ScreenSaver = 7 };

} // namespace pagero
