#pragma once

#include "Automation.h"
#include "EngineState.h"

#include <memory>

namespace velmora::xl {

// One instance of the built-in spreadsheet application: an in-memory set of workbooks that
// writes real files on SaveAs, and hands its open workbooks to the desktop when it is let go
// of while visible.
class EngineApplication final : public Application {
public:
    explicit EngineApplication(Desktop& desktop);
    ~EngineApplication() override;

    Workbooks& workbooks() override;
    Window& activeWindow() override;
    QString international(int index) override;
    void setScreenUpdating(bool on) override;
    void setVisible(bool on) override;
    bool visible() const override;
    void setDisplayAlerts(bool on) override;
    void quit() override;
    void release() override;

private:
    class EngineWorkbooks;
    class EngineWindow;
    void ensureRunning() const;
    std::shared_ptr<EngineState> state_;
    std::unique_ptr<EngineWorkbooks> workbooks_;
    std::unique_ptr<EngineWindow> window_;
};

// The built-in engine as the spreadsheet the export talks to. It reports version 14, so the
// sheet limits and save rules of a current spreadsheet apply. Each start gives a new instance;
// there is never a running one to attach to.
class BuiltinServer final : public AutomationServer {
public:
    explicit BuiltinServer(Desktop& desktop)
        : desktop_(desktop) {}
    int installedVersion() const override { return 14; }
    std::shared_ptr<Application> start() override;
    std::shared_ptr<Application> running() override { return nullptr; }

private:
    Desktop& desktop_;
};

} // namespace velmora::xl
