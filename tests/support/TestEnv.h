#pragma once

#include <QString>
#include <QTemporaryDir>

namespace velmora::test {

// The per-process test folders: XDG_CONFIG_HOME, XDG_CACHE_HOME and XDG_RUNTIME_DIR point into a
// temporary folder made when the test program starts, so no test touches the user's settings.
QString tempRoot();
// A fresh empty folder under tempRoot() for one test.
QString freshDir(const QString& name);
// Points XDG_CONFIG_HOME at a fresh folder and returns it (settings start empty).
QString freshConfigHome();
// A file of the source tree (tests/fixtures/..., samples/...).
QString sourcePath(const QString& relative);
QString binaryPath(const QString& relative);

} // namespace velmora::test
