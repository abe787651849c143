#include "MarkerScan.h"

#include "ParamType.h"

namespace velmora {

MarkerScan fnScanMarkers(const QString& text) {
    MarkerScan scan;
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
            bool known = false;
            for (qsizetype i = 0; i < scan.names.size() && !known; ++i)
                known = scan.types[i] == type && scan.names[i] == name;
            if (!known) {
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
