#pragma once

#include "params/ParamRow.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace velmora {

// The process-wide state shared by the windows and the routines of the shared unit. One value,
// owned by the application and passed by reference; tests build their own.
struct SessionState {
    // Loaded query.
    QString QueryFileName = QStringLiteral("<NoName>....");
    QString QueryDescription;
    QString ConnectionString;
    QString SqlText;

    // Parameters.
    QStringList ParamNames;
    QStringList ParamTypes;
    int ParamCount = 0;
    std::vector<ParamRow> ParamRows;
    QString PreparedSql;
    bool DialogCancelled = false;

    // Run mode and command line.
    bool UnattendedRun = false;
    bool CommandLineQueryPending = false;
    QStringList CommandLineArgs; // trimmed arguments, program name excluded
    QString CommandLineOutputFile;
    QString CommandLineOutputType;
    QString CommandLineFormat;

    // Settings and identity.
    QString RegistryProductKey = QStringLiteral("Kavrin End User");
    QString VersionText;
    QString QueryPath;
    QString ReportPath;

    // Output.
    QString OutputKind;
    QString Delimiter;
    QString WithHeader;
    QString OutputFileName;
    int SaveFormatIndex = 1;

    // Result grid.
    int ResultRowCount = 0;
    int SortedColumnIndex = 0;
    bool TitleClicked = false;
    bool GridDoubleClicked = false;
    int AutofitColumnIndex = 0;
    int AutofitMaxWidth = 0;

    // Entries written to the system log during this run; an unattended run that wrote any ends
    // with exit status 1.
    int EventLogEntries = 0;
};

} // namespace velmora
