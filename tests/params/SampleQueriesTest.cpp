// Every parameter type has a sample query: each sample, read from its built query file, gets its
// row in the dialog (SQL pick lists filled from the sample database), takes a value, and the
// statement that results runs on the sample database and returns rows.
#include "QtPrinters.h"
#include "Share/PickLists.h"
#include "TestEnv.h"
#include "params/MarkerScan.h"
#include "params/Substitution.h"
#include "params/TCheckedComboBox.h"
#include "params/TExecParam.h"
#include "query/QueryFileReader.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTimeEdit>

#include <gtest/gtest.h>

namespace velmora {
namespace {

struct SampleCase {
    const char* type;
    QString text; // edit or memo text; empty: the control's own default or first choice
};

class SampleQuery : public ::testing::TestWithParam<SampleCase> {};

void fillRow(const TExecParam::RowControls& row, const QString& text) {
    if (row.ValueEdit)
        row.ValueEdit->setText(text);
    if (row.ValueMemo)
        row.ValueMemo->setPlainText(text);
    if (row.DatePicker)
        row.DatePicker->setDate(QDate(2024, 6, 1));
    if (row.TimePicker)
        row.TimePicker->setTime(QTime(12, 0, 0));
    if (row.ValueCombo)
        row.ValueCombo->setCurrentIndex(0);
    if (row.ValueCheckedCombo) {
        for (int i = 0; i < 2 && i < row.ValueCheckedCombo->checkList()->count(); ++i)
            row.ValueCheckedCombo->checkList()->item(i)->setCheckState(Qt::Checked);
    }
}

TEST_P(SampleQuery, RunsWithItsParameter) {
    const SampleCase& c = GetParam();
    const QString code = QString::fromLatin1(c.type);
    const QString dir = test::binaryPath(QStringLiteral("samples"));
    const QueryFile file =
        fnReadQueryFile(QDir(dir).filePath(QStringLiteral("param-%1.kvf").arg(code.toLower())));
    EXPECT_EQ(file.connectionString, QStringLiteral("Provider=SQLite;Data Source=sample.db"));
    EXPECT_TRUE(file.description.contains(QLatin1Char('(') + code + QLatin1Char(')')))
        << file.description.toStdString();

    const QString sql = file.sqlLines.join(QLatin1Char('\n'));
    const MarkerScan scan = fnScanMarkers(sql);
    ASSERT_FALSE(scan.invalidType);
    ASSERT_EQ(scan.types, QStringList{code});

    Tdm1 dm;
    dm.ADOConn1.setConnectionString(QStringLiteral("Provider=SQLite;Data Source=") +
                                    QDir(dir).filePath(QStringLiteral("sample.db")));
    dm.ADOConn1.open();
    PickLists lists(dm.ADOQry1);
    TExecParam dialog;
    QStringList messages;
    dialog.messageBox = [&](const QString& text) {
        messages << text;
    };
    SessionState state;
    state.ParamTypes = scan.types;
    state.ParamNames = scan.names;
    state.ParamCount = 1;
    dialog.FormShow(state, lists);
    ASSERT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
    ASSERT_FALSE(dialog.errorPathTaken());

    fillRow(dialog.row(1), c.text);
    dialog.bnOkClick();
    ASSERT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
    ASSERT_FALSE(state.DialogCancelled);

    QString prepared = sql;
    fnSubstituteParams(prepared, state.ParamTypes, state.ParamNames, state.ParamRows,
                       QStringLiteral(":"));
    dm.ADOQry1.setSql(prepared);
    ASSERT_NO_THROW(dm.ADOQry1.openQuery()) << prepared.toStdString();
    EXPECT_GT(dm.ADOQry1.recordCount(), 0) << prepared.toStdString();
}

INSTANTIATE_TEST_SUITE_P(EveryType, SampleQuery,
                         ::testing::Values(SampleCase{"STR", "A"}, SampleCase{"PWD", "P-0017"},
                                           SampleCase{"NUM", "1000"}, SampleCase{"TEXT", "gate"},
                                           SampleCase{"SLIST", "Spain\nFrance"},
                                           SampleCase{"NLIST", "1\n2\n"}, SampleCase{"DATE", {}},
                                           SampleCase{"TIME", {}}, SampleCase{"DT", {}},
                                           SampleCase{"NFIXPICKW", {}}, SampleCase{"NFIXPICKR", {}},
                                           SampleCase{"SFIXPICKW", {}}, SampleCase{"SFIXPICKR", {}},
                                           SampleCase{"VFIXPICKR", {}}, SampleCase{"NSQLPICKW", {}},
                                           SampleCase{"NSQLPICKR", {}}, SampleCase{"SSQLPICKW", {}},
                                           SampleCase{"SSQLPICKR", {}}, SampleCase{"VSQLPICKR", {}},
                                           SampleCase{"NFIXPICKC", {}}, SampleCase{"SFIXPICKC", {}},
                                           SampleCase{"VFIXPICKC", {}}, SampleCase{"NSQLPICKC", {}},
                                           SampleCase{"SSQLPICKC", {}},
                                           SampleCase{"VSQLPICKC", {}}),
                         [](const auto& info) { return std::string(info.param.type); });

} // namespace
} // namespace velmora
