#pragma once

#include <memory>
#include <vector>

namespace velmora {
class Desktop;
}

namespace velmora::xl {

class EngineWorkbook;

// What the objects of one built-in application instance share.
struct EngineState {
    explicit EngineState(Desktop& d)
        : desktop(d) {}
    Desktop& desktop;
    std::vector<std::shared_ptr<EngineWorkbook>> workbooks; // open ones, oldest first
    std::weak_ptr<EngineWorkbook> active;
    bool visible = false;
    bool displayAlerts = true;
    bool screenUpdating = true;
    bool quit = false;
};

} // namespace velmora::xl
