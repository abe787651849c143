// The spreadsheet export driver: one TvxExcelExport per call, on the built-in engine.
#include "GlobalVar.h"

#include "xlexport/EngineApplication.h"
#include "xlexport/TvxExcelExport.h"

#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>

#include <exception>
#include <memory>

namespace velmora {

namespace {

// Pending window messages at most every 50 ms: enough to keep the wait window painted without
// showing in the time of a large export.
constexpr qint64 kMessageInterval = 50;

QString worksheetNameOf(const QString& queryFileName) {
    const QString name = QFileInfo(queryFileName).fileName();
    return name.left(std::max<qsizetype>(name.size() - 4, 0)).left(31);
}

} // namespace

void fnExportToExcel(Session& s) {
    SessionState& st = s.state;
    Dataset& ds = s.dm.DataSource1.dataset ? *s.dm.DataSource1.dataset : s.dm.ADOQry1;
    s.shell.setMainEnabled(false);
    s.shell.showProcessing(true);

    xl::BuiltinServer server(s.desktop);
    auto exporter = std::make_unique<TvxExcelExport>(server);
    std::exception_ptr failure;
    try {
        const bool titles = st.WithHeader != QLatin1String("0");
        TvxExcelExport& x = *exporter;
        x.Name = QStringLiteral("vxExcelExport");
        x.DataPipe = TDataPipe::dpDataSet;
        x.Dataset = &ds;
        x.StyleColumnWidth = TStyleColumnWidth::cwAutoFit;
        x.ColumnWidth = 0;
        x.setWorksheetName(worksheetNameOf(st.QueryFileName));
        x.setShowTitles(titles);
        if (titles) {
            x.FontTitles.Style.bold = true;
            x.setBeginRowTitles(1);
        }
        x.setBeginRowData(titles ? 2 : 1);

        QElapsedTimer sinceMessages;
        sinceMessages.start();
        x.ProcessMessages = [&sinceMessages] {
            if (sinceMessages.elapsed() >= kMessageInterval) {
                QCoreApplication::processEvents();
                sinceMessages.restart();
            }
        };
        x.BusyCursor = [](bool busy) {
            if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
                return;
            if (busy)
                QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
            else
                QGuiApplication::restoreOverrideCursor();
        };

        x.ExportToWorksheet();
        if (titles) {
            x.ExcelWorksheet->range(QStringLiteral("A2"), QStringLiteral("A2"))->select();
            x.ExcelApplication->activeWindow().setFreezePanes(true);
        }
        if (st.OutputKind == QLatin1String("XF"))
            x.SaveWorkbookAs(st.OutputFileName, static_cast<std::uint8_t>(st.SaveFormatIndex));
    } catch (...) {
        failure = std::current_exception();
    }

    // The clean-up runs on every path; the first failure is the one passed on.
    try {
        if (st.UnattendedRun && exporter->ExcelWorkbook)
            exporter->ExcelWorkbook->close();
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }
    try {
        exporter->DisconnectExcel(false);
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }
    exporter.reset();
    s.shell.showProcessing(false);
    s.shell.setMainEnabled(true);
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace velmora
