#pragma once

#include <QString>

namespace velmora {

enum class RootKey { CurrentUser };

// The per-user settings store: string values under a key path such as
// "SOFTWARE\Kavrin End User\Options", kept in an INI file under the XDG config folder
// ($XDG_CONFIG_HOME/Kavrin End User/Options.ini for that path). Every call derives the file from
// the key path it is given.

// Never fails: a missing file, key or value, or a value of 256 bytes or more (as UTF-8, with its
// terminating zero it would not fit the 256-byte buffer) reads as the empty text.
QString fnReadRegString(RootKey root, const QString& keyPath, const QString& valueName);

// Creates the key path when needed and writes the value; raises std::runtime_error
// "Error creating system registry entry" when the store cannot be created or written.
void fnWriteRegString(RootKey root, const QString& keyPath, const QString& valueName,
                      const QString& text);

// The INI file that holds a key path's values.
QString settingsFileFor(const QString& keyPath);

} // namespace velmora
