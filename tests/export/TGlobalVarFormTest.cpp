#include "export/TGlobalVarForm.h"
#include "Share/SessionState.h"
#include "TestEnv.h"

#include <QComboBox>
#include <QFileDialog>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace velmora;

namespace {

SaveDialogRequest delimitedComma(const QString& folder) {
    return {{{"Delimited Text (*.csv)", "*.csv"}, {"Delimited Text (*.txt)", "*.txt"}},
            QStringLiteral("csv"),
            folder};
}

SaveDialogRequest excel(const QString& folder) {
    return {{{"Excel Workbook (*.xlsx)", "*.xlsx"},
             {"Excel 97-2003 Workbook (*.xls)", "*.xls"},
             {"Web Page (*.html)", "*.html"},
             {"CSV (comma delimited) (*.csv)", "*.csv"},
             {"Microsoft Excel 5.0/95 Workbook (*.xls)", "*.xls"},
             {"Xml Spreadsheet (*.xml)", "*.xml"}},
            std::nullopt,
            folder};
}

// Runs `whileShown` inside the dialog's modal loop; the actions end the dialog.
std::optional<SaveDialogAnswer> runShown(TGlobalVarForm& form, SessionState& state,
                                         const SaveDialogRequest& request,
                                         const std::function<void(QFileDialog&)>& whileShown) {
    QTimer::singleShot(0, form.SaveDialog2, [&] { whileShown(*form.SaveDialog2); });
    return form.exec(state, request);
}

// Picks a file-type entry as the user does, through the dialog's own list.
void pickFileType(QFileDialog& dialog, int index0) {
    auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    QVERIFY(combo);
    combo->setCurrentIndex(index0);
    emit combo->activated(index0);
    emit combo->textActivated(combo->itemText(index0));
}

} // namespace

class TGlobalVarFormTest : public QObject {
    Q_OBJECT
private slots:
    void keepsNamePositionAndSuffixBetweenSaves();
};

void TGlobalVarFormTest::keepsNamePositionAndSuffixBetweenSaves() {
    const QString dir = test::freshDir("save");
    TGlobalVarForm form;
    SessionState state;
    state.SaveFormatIndex = 1;

    auto first = runShown(form, state, delimitedComma(dir), [&](QFileDialog& d) {
        QCOMPARE(d.directory().absolutePath(), dir);
        QCOMPARE(d.selectedNameFilter(), QStringLiteral("Delimited Text (*.csv)"));
        QCOMPARE(d.defaultSuffix(), QStringLiteral("csv"));
        pickFileType(d, 1);
        QCOMPARE(state.SaveFormatIndex, 2); // at once, while the dialog is open
        d.selectFile(QStringLiteral("report"));
        static_cast<QDialog&>(d).accept(); // as the Save button does
    });
    QVERIFY(first);
    QCOMPARE(first->filterIndex, 2);
    QCOMPARE(first->fileName, dir + "/report.csv");

    // A spreadsheet save: same position and name, and the last default extension stays.
    auto second = runShown(form, state, excel(dir), [&](QFileDialog& d) {
        QCOMPARE(d.selectedNameFilter(), QStringLiteral("Excel 97-2003 Workbook (*.xls)"));
        QCOMPARE(d.defaultSuffix(), QStringLiteral("csv"));
        pickFileType(d, 4);
        d.reject();
    });
    QVERIFY(!second);
    QCOMPARE(state.SaveFormatIndex, 5); // Microsoft Excel 5.0/95, which no command line reaches

    // A position past the end of a shorter list falls back to the first entry.
    runShown(form, state, delimitedComma(dir), [&](QFileDialog& d) {
        QCOMPARE(d.selectedNameFilter(), QStringLiteral("Delimited Text (*.csv)"));
        d.reject();
    });
}

QTEST_MAIN(TGlobalVarFormTest)
#include "TGlobalVarFormTest.moc"
