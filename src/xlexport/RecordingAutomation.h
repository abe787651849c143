#pragma once

#include "Automation.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace velmora::xl {

// The calls made through a recording server, one line each, as "Range(A2:C21).Value2=[20x3]".
struct CallLog {
    QStringList lines;
    std::vector<ValueBlock> blocks; // a copy of every array written with Value2, in order
    // The lines that start with the prefix.
    QStringList matching(const QString& prefix) const;
};

// A decorator over another server that logs every operation with its arguments and then passes
// it on, so tests see block sizes, call order and formats. The installed version can be set to
// stand for older spreadsheets.
class RecordingServer final : public AutomationServer {
public:
    explicit RecordingServer(AutomationServer& inner, std::optional<int> version = std::nullopt);
    int installedVersion() const override;
    std::shared_ptr<Application> start() override;
    std::shared_ptr<Application> running() override;
    const CallLog& log() const { return *log_; }
    void clear() { log_->lines.clear(); }

private:
    AutomationServer& inner_;
    std::optional<int> version_;
    std::shared_ptr<CallLog> log_;
};

} // namespace velmora::xl
