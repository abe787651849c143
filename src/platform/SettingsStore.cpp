#include "SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <stdexcept>

namespace velmora {

namespace {

// A registry string value is read into a buffer of 256 bytes including its terminating zero.
constexpr qsizetype kValueBufferBytes = 256;

QString configRoot() {
    QString root = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (root.isEmpty() || !QDir::isAbsolutePath(root))
        root = QDir::homePath() + QStringLiteral("/.config");
    return root;
}

} // namespace

QString settingsFileFor(const QString& keyPath) {
    // "SOFTWARE\Kavrin End User\Options" -> "<config>/Kavrin End User/Options.ini": the leading
    // "SOFTWARE" says nothing on this platform.
    QStringList parts = keyPath.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (!parts.isEmpty() &&
        parts.first().compare(QLatin1String("SOFTWARE"), Qt::CaseInsensitive) == 0)
        parts.removeFirst();
    if (parts.isEmpty())
        parts << QStringLiteral("Settings");
    const QString leaf = parts.takeLast();
    QString folder = configRoot();
    for (const QString& p : parts)
        folder += QLatin1Char('/') + p;
    return folder + QLatin1Char('/') + leaf + QStringLiteral(".ini");
}

QString fnReadRegString(RootKey, const QString& keyPath, const QString& valueName) {
    const QString file = settingsFileFor(keyPath);
    if (!QFileInfo(file).isFile())
        return {};
    QSettings store(file, QSettings::IniFormat);
    const QVariant v = store.value(valueName);
    if (!v.isValid())
        return {};
    const QString text = v.toString();
    if (text.toUtf8().size() + 1 > kValueBufferBytes)
        return {};
    return text;
}

void fnWriteRegString(RootKey, const QString& keyPath, const QString& valueName,
                      const QString& text) {
    const QString file = settingsFileFor(keyPath);
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir())
        throw std::runtime_error("Error creating system registry entry");
    QSettings store(file, QSettings::IniFormat);
    store.setValue(valueName, text);
    store.sync();
    // A format error comes from reading a damaged file; the write replaces it all the same.
    if (store.status() == QSettings::AccessError || !QFileInfo(file).isFile())
        throw std::runtime_error("Error creating system registry entry");
}

} // namespace velmora
