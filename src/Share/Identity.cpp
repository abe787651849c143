#include "GlobalVar.h"
#include "query/LineCodec.h"

namespace velmora {

QString fnGetVersionText() {
    // The build number is left out: major.minor.release, each without leading zeros.
    return QStringLiteral(" Ver %1.%2.%3.")
        .arg(VELMORA_VERSION_MAJOR)
        .arg(VELMORA_VERSION_MINOR)
        .arg(VELMORA_VERSION_PATCH);
}

QString OptionsKey(const SessionState& state) {
    return QStringLiteral("SOFTWARE\\") + state.RegistryProductKey + QStringLiteral("\\Options");
}

bool fnIsStrInteger(const QString& text, int* value) {
    // The stored geometry follows the same integer rule as the query-file codec.
    int v = 0;
    if (!fnCodecInteger(text.toUtf8(), v))
        return false;
    if (value)
        *value = v;
    return true;
}

} // namespace velmora
