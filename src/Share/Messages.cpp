#include "GlobalVar.h"

namespace velmora {

void fnEndProcess() {
    throw ProcessEnd{};
}

void fnWriteEventLog(Session& s, const QString& source, const QString& text) {
    ++s.state.EventLogEntries;
    s.log.write(source, text);
}

void fnReportMessage(Session& s, const QString& text) {
    if (s.state.UnattendedRun)
        fnWriteEventLog(s, QStringLiteral("Kavrin"), text);
    else
        s.shell.messageBox(text);
}

QString fnErrorBoxText(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

} // namespace velmora
