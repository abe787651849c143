#include "WindowGeometry.h"

#include "GlobalVar.h"
#include "platform/SettingsStore.h"

namespace velmora {

namespace {

int storedInt(const SessionState& state, const char* name, int fallback) {
    int v = 0;
    return fnIsStrInteger(
               fnReadRegString(RootKey::CurrentUser, OptionsKey(state), QString::fromLatin1(name)),
               &v)
               ? v
               : fallback;
}

} // namespace

WindowGeometry fnReadWindowGeometry(const SessionState& state) {
    WindowGeometry g;
    g.top = storedInt(state, "WinTop", g.top);
    g.left = storedInt(state, "WinLeft", g.left);
    g.height = storedInt(state, "WinHeight", g.height);
    g.width = storedInt(state, "WinWidth", g.width);
    g.panelHeight = storedInt(state, "PUserHeight", g.panelHeight);
    g.folderListWidth = storedInt(state, "Dlb1Width", g.folderListWidth);
    const int stored = storedInt(state, "WinState", WindowGeometry::Normal);
    g.state =
        stored == WindowGeometry::Maximized ? WindowGeometry::Maximized : WindowGeometry::Normal;
    return g;
}

void fnWriteWindowGeometry(const SessionState& state, const WindowGeometry& g) {
    const QString key = OptionsKey(state);
    const auto put = [&](const char* name, int v) {
        fnWriteRegString(RootKey::CurrentUser, key, QString::fromLatin1(name), QString::number(v));
    };
    put("WinTop", g.top);
    put("WinLeft", g.left);
    put("WinHeight", g.height);
    put("WinWidth", g.width);
    put("PUserHeight", g.panelHeight);
    put("Dlb1Width", g.folderListWidth);
    put("WinState", g.state);
}

} // namespace velmora
