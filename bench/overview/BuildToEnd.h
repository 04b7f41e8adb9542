#pragma once
// Runs a thumbnail build to its end from the benchmark's own event loop; true when it was Built.
#include "pages/OrvOverView_Ut.h"
#include <QEventLoop>
#include <optional>

inline bool BuildToEnd(pagero::TOverView_Fm &ov)
{
    std::optional<pagero::ThumbBuildResult> result;
    QEventLoop loop;
    ov.BuildThumbnails([&](pagero::ThumbBuildResult r) {
        result = r;
        loop.quit();
    });
    if (!result) loop.exec();
    return result == pagero::ThumbBuildResult::Built;
}
