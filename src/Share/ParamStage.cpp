#include "GlobalVar.h"

#include "params/MarkerScan.h"
#include "params/Substitution.h"
#include "platform/UserLocale.h"

#include <exception>

namespace velmora {

namespace {

// The dialog and the substitution are built for this many parameters.
constexpr int kMaxParams = 300;

// An unattended run has nobody to answer a box: the report goes to the system log and the
// process ends, with exit status 1 because an entry was written.
[[noreturn]] void endUnattended(Session& s, const QString& text) {
    fnWriteEventLog(s, QStringLiteral("Kavrin"), text);
    fnEndProcess();
}

} // namespace

bool fnPrepareSql(Session& s) {
    SessionState& st = s.state;
    try {
        st.ParamNames.clear();
        st.ParamTypes.clear();
        st.ParamRows.clear();
        st.PreparedSql = st.SqlText;

        MarkerScan scan = fnScanMarkers(st.PreparedSql);
        st.ParamNames = std::move(scan.names);
        st.ParamTypes = std::move(scan.types);
        st.ParamCount = static_cast<int>(st.ParamNames.size());
        if (scan.invalidType) {
            const QString text =
                QStringLiteral("Invalid parameter type \"") + *scan.invalidType + "\".";
            if (st.UnattendedRun)
                endUnattended(s, text);
            s.shell.messageBox(text);
            return false;
        }

        st.DialogCancelled = false;
        if (st.ParamCount > 0) {
            if (st.UnattendedRun)
                endUnattended(s, QStringLiteral("Error - The application is being terminated "
                                                "because the query has a parameter."));
            if (st.ParamCount > kMaxParams) {
                fnReportMessage(s, QStringLiteral("The query has %1 parameters; at most %2 are "
                                                  "allowed.")
                                       .arg(st.ParamCount)
                                       .arg(kMaxParams));
                return false;
            }
            s.shell.execParamDialog(st);
            if (st.DialogCancelled) {
                st.ParamRows.clear();
                return false;
            }
            fnSubstituteParams(st.PreparedSql, st.ParamTypes, st.ParamNames, st.ParamRows,
                               localeTimeSeparator());
            st.ParamRows.clear();
        }
        return true;
    } catch (const std::exception& e) {
        st.ParamRows.clear();
        fnReportMessage(s, QString::fromUtf8(e.what()));
        return false;
    }
}

} // namespace velmora
