#include "EventLog.h"

#include <syslog.h>

namespace velmora {

void SyslogEventLog::write(const QString& source, const QString& text) {
    // openlog keeps the pointer it is given, so the identifier must outlive the call to syslog.
    const QByteArray ident = source.toUtf8();
    const QByteArray message = text.toUtf8();
    openlog(ident.constData(), LOG_PID, LOG_USER);
    syslog(LOG_ERR, "%s", message.constData());
    closelog();
}

} // namespace velmora
