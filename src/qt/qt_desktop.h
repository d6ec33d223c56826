// The desktop through Qt: a save dialog over the window, and the desktop's
// file manager for a folder.
#pragma once

#include "desktop/desktop.h"

class QWidget;

namespace tarvel {

class QtDesktop : public Desktop {
public:
    explicit QtDesktop(QWidget* parent) : parent_(parent) {}
    std::optional<std::string> chooseSavePath(const std::string& title, const std::string& proposedPath) override;
    bool openFolder(const std::string& path) override;
    bool confirm(const std::string& title, const std::string& question) override;

private:
    QWidget* parent_;
};

}  // namespace tarvel
