// What kept the launcher from starting Tarvel, in a small window: the
// launcher, started from the desktop's menu, has no terminal to say it in.
#pragma once

#include <QString>

namespace tarvel {

// "tarvel-app --launcher-problem TEXT" shows TEXT and ends with status 1
// when the window is closed.
inline constexpr const char* kLauncherProblemOption = "--launcher-problem";
int showLauncherProblem(int argc, char** argv, const QString& problem);

}  // namespace tarvel
