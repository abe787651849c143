#include "MarkerScan.h"

#include "ParamType.h"

#include <QSet>

namespace velmora {

MarkerScan fnScanMarkers(const QString& text) {
    MarkerScan scan;
    // TYPE and NAME joined by "_", which TYPE never holds: one key per entry. A set keeps a text
    // with very many markers linear instead of comparing every marker with every earlier one.
    QSet<QString> seen;
    qsizetype pos = 0; // start of the working text t
    const qsizetype n = text.size();
    while (pos < n) {
        const qsizetype open = text.indexOf(QLatin1Char('?'), pos);
        if (open < 0)
            break;
        pos = open + 1;
        const qsizetype u = text.indexOf(QLatin1Char('_'), pos);
        const qsizetype q = text.indexOf(QLatin1Char('?'), pos);
        if (u >= 0 && q >= 0) {
            // When "_" comes after the closing "?", TYPE swallows that "?" and is invalid.
            const QString type = text.mid(pos, u - pos);
            const QString name = u < q ? text.mid(u + 1, q - u - 1) : QString();
            if (!fnParseParamType(type)) {
                scan.invalidType = type;
                return scan;
            }
            if (const QString key = type + QLatin1Char('_') + name; !seen.contains(key)) {
                seen.insert(key);
                scan.types.append(type);
                scan.names.append(name);
            }
        }
        if (q < 0)
            break;
        pos = q + 1;
    }
    return scan;
}

} // namespace velmora
