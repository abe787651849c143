#include "TestEnv.h"

#include <QDir>
#include <QUuid>

#include <memory>

namespace velmora::test {

namespace {
std::unique_ptr<QTemporaryDir>& rootDir() {
    static std::unique_ptr<QTemporaryDir> dir;
    return dir;
}
} // namespace

QString tempRoot() {
    auto& dir = rootDir();
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/velmora-test-XXXXXX"));
        const QString root = dir->path();
        for (const char* sub : {"config", "cache", "runtime"})
            QDir(root).mkpath(QString::fromLatin1(sub));
        QFile::setPermissions(root + QStringLiteral("/runtime"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_CONFIG_HOME", (root + QStringLiteral("/config")).toUtf8());
        qputenv("XDG_CACHE_HOME", (root + QStringLiteral("/cache")).toUtf8());
        qputenv("XDG_RUNTIME_DIR", (root + QStringLiteral("/runtime")).toUtf8());
    }
    return dir->path();
}

QString freshDir(const QString& name) {
    const QString path = tempRoot() + QLatin1Char('/') + name + QLatin1Char('-') +
                         QUuid::createUuid().toString(QUuid::Id128).left(8);
    QDir().mkpath(path);
    return path;
}

QString freshConfigHome() {
    const QString path = freshDir(QStringLiteral("config"));
    qputenv("XDG_CONFIG_HOME", path.toUtf8());
    return path;
}

QString sourcePath(const QString& relative) {
    return qEnvironmentVariable("VELMORA_SOURCE_DIR") + QLatin1Char('/') + relative;
}

QString binaryPath(const QString& relative) {
    return qEnvironmentVariable("VELMORA_BINARY_DIR") + QLatin1Char('/') + relative;
}

} // namespace velmora::test
