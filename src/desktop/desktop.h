// What the desktop does for the program beside its window: asks where to save
// a file, and opens a folder in the file manager. The Qt program asks through
// dialogs and the desktop's services; the driver answers from its script.
#pragma once

#include <optional>
#include <string>

namespace tarvel {

class Desktop {
public:
    virtual ~Desktop() = default;
    // Asks the player where to save a file, proposing `proposedPath` (a full
    // path). The full path chosen, or nullopt when the player cancelled.
    virtual std::optional<std::string> chooseSavePath(const std::string& title, const std::string& proposedPath) = 0;
    // Shows a folder in the file manager; false when nothing could.
    virtual bool openFolder(const std::string& path) = 0;
    // Asks the player to agree to something that cannot be undone; true when they do.
    virtual bool confirm(const std::string& title, const std::string& question) = 0;
};

// No desktop: a file is saved where it is proposed, and no folder opens.
class NoDesktop : public Desktop {
public:
    std::optional<std::string> chooseSavePath(const std::string& /*title*/, const std::string& proposedPath) override {
        return proposedPath;
    }
    bool openFolder(const std::string& /*path*/) override { return false; }
    // Nobody to ask: nothing is done that cannot be undone.
    bool confirm(const std::string& /*title*/, const std::string& /*question*/) override { return false; }
};

}  // namespace tarvel
