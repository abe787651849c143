#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace velmora {

struct MarkerScan {
    QStringList names; // distinct NAMEs in order of first appearance
    QStringList types; // TYPE of each entry, as written
    // Set when the scan stopped at a marker whose TYPE is not a type code; the lists then hold
    // what was collected before it.
    std::optional<QString> invalidType;
};

// Finds the markers ?TYPE_NAME? of an SQL text. Every "?" may open a marker, also inside string
// literals and comments: TYPE runs to the next "_", NAME from there to the next "?". Entries are
// identified by TYPE and NAME with letter case, so ?NUM_a? and ?num_a? are two entries.
MarkerScan fnScanMarkers(const QString& text);

} // namespace velmora
