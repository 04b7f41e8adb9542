#pragma once
// Scripted colour and bitmap choosers for one test, installed like the scripted prompter: in place
// of the real dialogs while the object lives, removed when it goes.
#include "common/OrvMyLib.h"
#include <functional>

namespace pagero::test {

struct ScriptedChoosers {
    explicit ScriptedChoosers(std::function<QString(const QString &, const QString &)> bitmap,
                              std::function<bool(QColor &)> colour = {})
    {
        ChooserHooks::BitmapDialogHook = std::move(bitmap);
        ChooserHooks::ColorDialogHook = std::move(colour);
    }
    ~ScriptedChoosers()
    {
        ChooserHooks::BitmapDialogHook = nullptr;
        ChooserHooks::ColorDialogHook = nullptr;
    }
    ScriptedChoosers(const ScriptedChoosers &) = delete;
    ScriptedChoosers &operator=(const ScriptedChoosers &) = delete;
};

// A scripted open-folder dialog for one test: `choose` gets the preset folder and answers true with
// the folder picked, or false for Cancel.
struct ScriptedFolderChooser {
    explicit ScriptedFolderChooser(std::function<bool(const QString &, QString &)> choose)
    {
        ChooserHooks::FolderDialogHook = std::move(choose);
    }
    ~ScriptedFolderChooser() { ChooserHooks::FolderDialogHook = nullptr; }
    ScriptedFolderChooser(const ScriptedFolderChooser &) = delete;
    ScriptedFolderChooser &operator=(const ScriptedFolderChooser &) = delete;
};

} // namespace pagero::test
