// The save-result flow: the output choice, Save Result to File, the export step of Execute to
// File and the delimited text export.
#include "GlobalVar.h"

#include "export/DelimitedWriter.h"
#include "export/OutputFile.h"
#include "export/TScrollEvents.h"
#include "platform/SettingsStore.h"
#include "platform/UserLocale.h"

#include <QDir>
#include <QFileInfo>

namespace velmora {

namespace {

const QString kNoData = QStringLiteral("No data to export.");
const QChar kTab = QLatin1Char('\t');

Dataset& resultSet(Session& s) {
    return s.dm.DataSource1.dataset ? *s.dm.DataSource1.dataset : s.dm.ADOQry1;
}

bool hasRecords(Session& s) {
    const Dataset& ds = resultSet(s);
    return ds.active() && ds.recordCount() > 0;
}

SaveDialogRequest requestFor(const SessionState& st) {
    SaveDialogRequest r;
    if (st.OutputKind == QLatin1String("XF")) {
        r.filters = {
            {QStringLiteral("Excel Workbook (*.xlsx)"), QStringLiteral("*.xlsx")},
            {QStringLiteral("Excel 97-2003 Workbook (*.xls)"), QStringLiteral("*.xls")},
            {QStringLiteral("Web Page (*.html)"), QStringLiteral("*.html")},
            {QStringLiteral("CSV (comma delimited) (*.csv)"), QStringLiteral("*.csv")},
            {QStringLiteral("Microsoft Excel 5.0/95 Workbook (*.xls)"), QStringLiteral("*.xls")},
            {QStringLiteral("Xml Spreadsheet (*.xml)"), QStringLiteral("*.xml")}};
        // The default extension stays what the last delimited-text save left.
    } else if (st.Delimiter == QLatin1String(",")) {
        r.filters = {{QStringLiteral("Delimited Text (*.csv)"), QStringLiteral("*.csv")},
                     {QStringLiteral("Delimited Text (*.txt)"), QStringLiteral("*.txt")}};
        r.defaultSuffix = QStringLiteral("csv");
    } else if (st.Delimiter == kTab) {
        r.filters = {{QStringLiteral("Delimited Text (*.xls)"), QStringLiteral("*.xls")},
                     {QStringLiteral("Delimited Text (*.txt)"), QStringLiteral("*.txt")}};
        r.defaultSuffix = QStringLiteral("xls");
    } else {
        r.filters = {{QStringLiteral("Delimited Text (*.txt)"), QStringLiteral("*.txt")}};
        r.defaultSuffix = QStringLiteral("txt");
    }
    r.startFolder = st.ReportPath;
    return r;
}

bool interactiveOutputFile(Session& s) {
    SessionState& st = s.state;
    s.shell.execOptionsDialog(st);
    if (st.DialogCancelled)
        return false;
    if (st.OutputKind == QLatin1String("XI"))
        return true;
    if (st.OutputKind != QLatin1String("XF") && st.Delimiter == QLatin1String("TAB"))
        st.Delimiter = kTab;
    const std::optional<SaveDialogAnswer> answer = s.shell.saveDialog(st, requestFor(st));
    if (!answer)
        return false;
    st.ReportPath = QFileInfo(answer->fileName).absolutePath();
    fnWriteRegString(RootKey::CurrentUser, OptionsKey(st), QStringLiteral("ReportPath"),
                     st.ReportPath);
    st.OutputFileName = answer->fileName;
    st.SaveFormatIndex = answer->filterIndex;
    return true;
}

bool unattendedOutputFile(Session& s) {
    SessionState& st = s.state;
    st.OutputFileName = st.CommandLineOutputFile;
    st.ReportPath = QFileInfo(st.OutputFileName).absolutePath();
    // One level only; when this fails, opening the file reports the reason.
    if (!QFileInfo(st.ReportPath).isDir())
        QDir().mkdir(st.ReportPath);
    if (st.CommandLineOutputType.toUpper() == QLatin1String("D")) {
        st.OutputKind = QStringLiteral("DF");
        if (st.CommandLineFormat.isEmpty()) {
            // A run that writes nothing must not end as if it had succeeded.
            fnReportMessage(s, QStringLiteral("4th parameter is invalid: ") + st.CommandLineFormat +
                                   QLatin1Char('.'));
            return false;
        }
        st.Delimiter = st.CommandLineFormat.toUpper() == QLatin1String("TAB")
                           ? QString(kTab)
                           : st.CommandLineFormat;
        return true;
    }
    st.OutputKind = QStringLiteral("XF");
    static const QStringList codes{QStringLiteral("XLSX"),
                                   QStringLiteral("XLS"),
                                   QStringLiteral("HTML"),
                                   QStringLiteral("CSV"),
                                   QString(),
                                   QStringLiteral("XML")};
    st.SaveFormatIndex = int(codes.indexOf(st.CommandLineFormat.toUpper())) + 1;
    return true;
}

} // namespace

bool fnGetOutputFile(Session& s) {
    try {
        return s.state.UnattendedRun ? unattendedOutputFile(s) : interactiveOutputFile(s);
    } catch (const std::exception& e) {
        fnReportMessage(s, QString::fromUtf8(e.what()));
        return false;
    }
}

void fnSaveResultToFile(Session& s) {
    if (!hasRecords(s)) {
        s.shell.messageBox(kNoData);
        return;
    }
    if (!fnGetOutputFile(s))
        return;
    if (s.state.OutputKind == QLatin1String("DF"))
        fnExportDelimitedText(s);
    else
        fnExportToExcel(s);
}

void fnExportStep(Session& s) {
    if (s.state.PreparedSql.isEmpty())
        return;
    if (!hasRecords(s)) {
        fnReportMessage(s, kNoData);
        return;
    }
    if (s.state.OutputKind == QLatin1String("DF"))
        fnExportDelimitedText(s);
    else
        fnExportToExcel(s);
}

void fnExportDelimitedText(Session& s) {
    SessionState& st = s.state;
    Dataset& ds = resultSet(s);
    s.shell.setMainEnabled(false);
    s.shell.showProcessing(true);
    try {
        OutputFile out(st.OutputFileName);
        std::int64_t rows = 0;
        bool written = false;
        {
            // The events come back on every way out of the pass.
            struct Restore {
                Dataset& ds;
                TScrollEvents saved;
                ~Restore() { fnRestoreDataSetEvents(ds, std::move(saved)); }
            } restore{ds, fnSuspendDataSetEvents(ds)};
            try {
                DelimitedWriter writer(out, st.Delimiter, userLocale());
                if (st.WithHeader != QLatin1String("0"))
                    writer.writeHeader(ds);
                writer.writeRecords(ds, rows);
                out.close();
                written = true;
            } catch (const std::exception& e) {
                fnReportMessage(s, QString::fromUtf8(e.what()));
                // The lines written so far stay in the file.
                out.close();
            }
        }
        if (written && rows > 0 && !st.UnattendedRun)
            s.desktop.open(QFileInfo(st.OutputFileName).absoluteFilePath());
    } catch (const std::exception& e) {
        fnReportMessage(s, QString::fromUtf8(e.what()));
    }
    s.shell.showProcessing(false);
    s.shell.setMainEnabled(true);
}

} // namespace velmora
