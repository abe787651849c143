#pragma once

#include <QString>

namespace velmora {

// The system event log. write() never raises and never reports its own failure.
class EventLog {
public:
    virtual ~EventLog() = default;
    virtual void write(const QString& source, const QString& text) = 0;
};

// syslog(3): identifier = source, facility user, priority err, the text as the message.
class SyslogEventLog final : public EventLog {
public:
    void write(const QString& source, const QString& text) override;
};

} // namespace velmora
