#include "PickLists.h"

#include "export/CellText.h"

namespace velmora {

QStringList PickLists::fetch(const QString& sql) {
    try {
        if (query_.active())
            query_.close();
        query_.setSql(sql);
        query_.openQuery();
        QStringList choices;
        for (query_.first(); !query_.eof(); query_.next())
            choices.append(fnVariantToText(query_.rows(), query_.currentRow(), 0));
        query_.close();
        return choices;
    } catch (...) {
        query_.close();
        throw;
    }
}

} // namespace velmora
