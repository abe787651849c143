#include "export/TToolOptions.h"
#include "Share/GlobalVar.h"
#include "TestEnv.h"
#include "platform/SettingsStore.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace velmora;

namespace {

QString stored(const QString& name) {
    return fnReadRegString(RootKey::CurrentUser, OptionsKey(SessionState{}), name);
}

void store(const QString& name, const QString& value) {
    fnWriteRegString(RootKey::CurrentUser, OptionsKey(SessionState{}), name, value);
}

// Runs `whileShown` inside the dialog's modal loop (exec() blocks), then closes the dialog if
// the actions left it open.
void runShown(TToolOptions& dialog, SessionState& state, const std::function<void()>& whileShown) {
    QTimer::singleShot(0, &dialog, [&] {
        whileShown();
        if (dialog.isVisible())
            dialog.reject();
    });
    dialog.exec(state);
}

// Clicks a button that opens a message box, and answers the box; gives the box's text.
QString clickAndReadBox(QAbstractButton* button) {
    QString text;
    QTimer::singleShot(0, button, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            text = box->text();
            box->accept();
        }
    });
    QTest::mouseClick(button, Qt::LeftButton);
    return text;
}

} // namespace

class TToolOptionsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { test::freshConfigHome(); }

    void fillsFromStoredSettings_data();
    void fillsFromStoredSettings();
    void blankDelimiterIsRefused();
    void okStoresTheChoices();
    void typedTabComesBackAsTabDelimited();
    void cancelEscapeAndCloseBoxCancel();
    void enablingRules();
    void layout();
};

void TToolOptionsTest::fillsFromStoredSettings_data() {
    QTest::addColumn<QStringList>("settings"); // FileFormat, Delimiter, WithHeader; "-" missing
    QTest::addColumn<QString>("kind");         // the selected format button
    QTest::addColumn<QString>("delimiterButton");
    QTest::addColumn<QString>("boxText");
    QTest::addColumn<bool>("boxEnabled");
    QTest::addColumn<bool>("header");

    QTest::addRow("first use") << QStringList{"-", "-", "-"} << "rbDelimiter"
                               << "rbOther"
                               << "" << true << true;
    QTest::addRow("stored XI and TAB, first showing") << QStringList{"XI", "TAB", "1"} << "rbExcelI"
                                                      << "none"
                                                      << "," << false << true;
    QTest::addRow("stored XF") << QStringList{"XF", ";", "0"} << "rbExcelF"
                               << "none"
                               << "," << false << false;
    QTest::addRow("xf counts as delimited text") << QStringList{"xf", ";", "1"} << "rbDelimiter"
                                                 << "rbOther"
                                                 << ";" << true << true;
    QTest::addRow("tab is three characters") << QStringList{"DF", "tab", "1"} << "rbDelimiter"
                                             << "rbOther"
                                             << "tab" << true << true;
    QTest::addRow("TAB selects Tab Delimited") << QStringList{"DF", "TAB", "0"} << "rbDelimiter"
                                               << "rbTab"
                                               << "," << false << false;
    QTest::addRow("long stored delimiter shown whole")
        << QStringList{"DF", "<-->", "yes"} << "rbDelimiter"
        << "rbOther"
        << "<-->" << true << true;
}

void TToolOptionsTest::fillsFromStoredSettings() {
    QFETCH(QStringList, settings);
    QFETCH(QString, kind);
    QFETCH(QString, delimiterButton);
    QFETCH(QString, boxText);
    QFETCH(bool, boxEnabled);
    QFETCH(bool, header);
    const QStringList names{"FileFormat", "Delimiter", "WithHeader"};
    for (int i = 0; i < 3; ++i) {
        if (settings[i] != QLatin1String("-"))
            store(names[i], settings[i]);
    }
    TToolOptions dialog;
    SessionState state;
    state.DialogCancelled = false;
    runShown(dialog, state, [&] {
        QVERIFY(state.DialogCancelled);
        QVERIFY(dialog.findChild<QRadioButton*>(kind)->isChecked());
        QCOMPARE(dialog.rbTab->isChecked(), delimiterButton == QLatin1String("rbTab"));
        QCOMPARE(dialog.rbOther->isChecked(), delimiterButton == QLatin1String("rbOther"));
        QCOMPARE(dialog.txtDelimiter->text(), boxText);
        QCOMPARE(dialog.txtDelimiter->isEnabled(), boxEnabled);
        QCOMPARE(dialog.lblDelimiter->isEnabled(), boxEnabled);
        QCOMPARE(dialog.rbTab->isEnabled(), kind == QLatin1String("rbDelimiter"));
        QCOMPARE(dialog.cbWithHeader->isChecked(), header);
    });
}

void TToolOptionsTest::blankDelimiterIsRefused() {
    TToolOptions dialog;
    SessionState state;
    QString shown;
    runShown(dialog, state, [&] {
        shown = clickAndReadBox(dialog.btnOk);
        QVERIFY(dialog.isVisible()); // stays open
    });
    QCOMPARE(shown, QStringLiteral("Blank delimiter is not allowed."));
    QVERIFY(state.DialogCancelled);
    QVERIFY(state.OutputKind.isEmpty());
    QVERIFY(stored("FileFormat").isEmpty());
    QVERIFY(stored("Delimiter").isEmpty());
}

void TToolOptionsTest::okStoresTheChoices() {
    store("FileFormat", "XI");
    store("Delimiter", "TAB");
    TToolOptions dialog;
    SessionState state;
    runShown(dialog, state, [&] { QTest::mouseClick(dialog.btnOk, Qt::LeftButton); });
    QVERIFY(!state.DialogCancelled);
    QCOMPARE(state.OutputKind, QStringLiteral("XI"));
    // Neither delimiter button was selected, so the box text replaces the stored "TAB".
    QCOMPARE(state.Delimiter, QStringLiteral(","));
    QCOMPARE(state.WithHeader, QStringLiteral("1"));
    QCOMPARE(stored("Delimiter"), QStringLiteral(","));
    QCOMPARE(stored("WithHeader"), QStringLiteral("1"));
    QCOMPARE(stored("FileFormat"), QStringLiteral("XI"));

    // With a spreadsheet kind an empty box is accepted.
    runShown(dialog, state, [&] {
        dialog.cbWithHeader->setChecked(false);
        dialog.rbExcelF->setChecked(true);
        dialog.txtDelimiter->clear();
        QTest::mouseClick(dialog.btnOk, Qt::LeftButton);
    });
    QVERIFY(!state.DialogCancelled);
    QCOMPARE(stored("FileFormat"), QStringLiteral("XF"));
    QCOMPARE(stored("Delimiter"), QString());
    QCOMPARE(stored("WithHeader"), QStringLiteral("0"));
}

void TToolOptionsTest::typedTabComesBackAsTabDelimited() {
    TToolOptions dialog;
    SessionState state;
    runShown(dialog, state, [&] {
        QTest::keyClicks(dialog.txtDelimiter, "TABS"); // at most three characters are typed
        QCOMPARE(dialog.txtDelimiter->text(), QStringLiteral("TAB"));
        QTest::mouseClick(dialog.btnOk, Qt::LeftButton);
    });
    QCOMPARE(stored("Delimiter"), QStringLiteral("TAB"));
    QCOMPARE(stored("FileFormat"), QStringLiteral("DF"));
    runShown(dialog, state, [&] {
        QVERIFY(dialog.rbTab->isChecked());
        QVERIFY(!dialog.txtDelimiter->isEnabled());
    });
}

void TToolOptionsTest::cancelEscapeAndCloseBoxCancel() {
    TToolOptions dialog;
    SessionState state;
    const QList<std::function<void()>> ways{
        [&] { QTest::mouseClick(dialog.btnCancel, Qt::LeftButton); },
        [&] { QTest::keyClick(&dialog, Qt::Key_Escape); },
        [&] {
            dialog.close();
        }};
    for (const auto& way : ways) {
        runShown(dialog, state, [&] {
            dialog.txtDelimiter->setText(";");
            way();
            QVERIFY(!dialog.isVisible());
        });
        QVERIFY(state.DialogCancelled);
        QVERIFY(stored("Delimiter").isEmpty());
    }
}

void TToolOptionsTest::enablingRules() {
    TToolOptions dialog;
    SessionState state;
    runShown(dialog, state, [&] {
        QTest::mouseClick(dialog.rbExcelF, Qt::LeftButton);
        for (QWidget* w : QList<QWidget*>{dialog.rbTab, dialog.rbOther, dialog.txtDelimiter,
                                          dialog.lblDelimiter})
            QVERIFY(!w->isEnabled());
        QVERIFY(dialog.rbOther->isChecked()); // the selection stays
        QVERIFY(dialog.cbWithHeader->isEnabled());
        QTest::mouseClick(dialog.rbDelimiter, Qt::LeftButton);
        QVERIFY(dialog.rbTab->isEnabled());
        QVERIFY(dialog.txtDelimiter->isEnabled());
        QTest::mouseClick(dialog.rbTab, Qt::LeftButton);
        QVERIFY(!dialog.txtDelimiter->isEnabled());
        QVERIFY(!dialog.lblDelimiter->isEnabled());
        dialog.rbOther->setChecked(true); // by program, as by a click
        QVERIFY(dialog.txtDelimiter->isEnabled());
        QVERIFY(dialog.lblDelimiter->isEnabled());
    });
}

void TToolOptionsTest::layout() {
    TToolOptions dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Output File Options"));
    QCOMPARE(dialog.size(), QSize(317, 317));
    QCOMPARE(dialog.txtDelimiter->geometry(), QRect(192, 46, 41, 21));
    QCOMPARE(dialog.btnOk->geometry(), QRect(29, 271, 105, 25));
    QVERIFY(dialog.btnOk->isDefault());
    // Tab order: the format buttons, the delimiter controls, OK, Cancel, the header box.
    const QList<QWidget*> order{dialog.rbExcelI, dialog.rbExcelF,  dialog.rbDelimiter,
                                dialog.rbTab,    dialog.rbOther,   dialog.txtDelimiter,
                                dialog.btnOk,    dialog.btnCancel, dialog.cbWithHeader};
    QList<QWidget*> chain;
    QWidget* w = dialog.rbExcelI;
    do {
        if (order.contains(w))
            chain << w;
        w = w->nextInFocusChain();
    } while (w != dialog.rbExcelI && chain.size() < 20);
    QCOMPARE(chain, order);
}

QTEST_MAIN(TToolOptionsTest)
#include "TToolOptionsTest.moc"
