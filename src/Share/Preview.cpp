#include "GlobalVar.h"
#include "query/LineCodec.h"
#include "query/QueryFileReader.h"

#include <QFile>

#include <stdexcept>

namespace velmora {

void fnPreviewQuery(Session& s, const QString& path) {
    SessionState& st = s.state;
    st.QueryFileName = path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(
            QStringLiteral("Cannot open \"%1\": %2").arg(path, file.errorString()).toStdString());
    // Only the first line is read: the preview neither loads the query nor touches the connection.
    QByteArray first;
    while (!file.atEnd()) {
        const QByteArray chunk = file.readLine(64 * 1024);
        first += chunk;
        if (chunk.endsWith('\n') || chunk.contains('\x1a'))
            break;
    }
    const std::vector<QByteArray> lines = fnSplitQueryFileLines(first);
    st.QueryDescription =
        lines.empty() ? QString() : fnQueryBytesToText(fnDecodeLine(lines.front(), '\0'));
    s.shell.setTitle(fnTitle(st.QueryDescription, st.QueryFileName));
}

} // namespace velmora
