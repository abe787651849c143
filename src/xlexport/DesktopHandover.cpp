#include "DesktopHandover.h"

#include "EngineWorkbook.h"
#include "EngineWorksheet.h"
#include "WorkbookFile.h"
#include "platform/Desktop.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <stdexcept>

namespace velmora::xl {

QString handoverFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/velmora");
}

namespace {

// "<sheet>.xlsx", or "<sheet> (2).xlsx" and so on when an earlier copy is still there.
QString freeName(const QString& folder, const QString& base) {
    QString path = folder + QLatin1Char('/') + base + QStringLiteral(".xlsx");
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder + QLatin1Char('/') + base + QStringLiteral(" (%1).xlsx").arg(n);
    return path;
}

} // namespace

void handOverToDesktop(EngineState& state) {
    for (const auto& book : state.workbooks) {
        if (!book->savedFile().isEmpty()) {
            state.desktop.open(book->savedFile());
            continue;
        }
        const QString folder = handoverFolder();
        if (!QDir().mkpath(folder))
            throw std::runtime_error(QStringLiteral("Cannot create the folder %1 for the workbook")
                                         .arg(folder)
                                         .toStdString());
        const auto sheet = book->activeSheet();
        const QString path = freeName(folder, sheet->name());
        saveWorkbookFile(*book, *sheet, path, constants::xlOpenXMLWorkbook);
        if (!state.desktop.open(path))
            throw std::runtime_error(
                QStringLiteral("No application is available to open spreadsheets; the workbook "
                               "was kept as %1")
                    .arg(path)
                    .toStdString());
    }
}

} // namespace velmora::xl
