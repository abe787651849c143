#include "params/PickListSource.h"
#include "params/Substitution.h"
#include "params/TCheckedComboBox.h"
#include "params/TExecParam.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>

#include <cmath>
#include <optional>
#include <stdexcept>

using namespace velmora;

namespace {

// Pick-list rows given by the test; records the statements it was asked for.
class FixedRows : public PickListSource {
public:
    QStringList rows;
    std::optional<std::string> failure;
    QStringList asked;
    QStringList fetch(const QString& sql) override {
        asked << sql;
        if (failure)
            throw std::runtime_error(*failure);
        return rows;
    }
};

// A dialog whose boxes are recorded instead of shown.
struct Harness {
    TExecParam dialog;
    QStringList messages;
    SessionState state;
    FixedRows lists;
    Harness() {
        dialog.messageBox = [this](const QString& text) {
            messages << text;
        };
    }
    void show(const QStringList& types, const QStringList& names) {
        state.ParamTypes = types;
        state.ParamNames = names;
        state.ParamCount = static_cast<int>(names.size());
        dialog.FormShow(state, lists);
    }
};

int labelWidth(const TExecParam& dialog, const QString& text) {
    QFont bold = dialog.font();
    bold.setBold(true);
    return QFontMetrics(bold).horizontalAdvance(text);
}

int textWidth(const TExecParam& dialog, const QString& text) {
    return QFontMetrics(dialog.font()).horizontalAdvance(text);
}

} // namespace

class TestExecParam : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void oneStrRow();
    void tenTextRowsScroll();
    void longCaptionIsCut();
    void dateTimeRow();
    void operatorList();
    void choiceCaption();
    void windowStaysCentred();
    void numericCheck_data();
    void numericCheck();
    void malformedNames_data();
    void malformedNames();
    void fixedPickList();
    void sqlPickLists_data();
    void sqlPickLists();
    void pickListQueryFails();
    void pickWidthFollowsItems();
    void okThroughModalRun();
    void reusedAfterErrorPath();
    void closingCancels_data();
    void closingCancels();
};

void TestExecParam::oneStrRow() {
    Harness h;
    h.show({"STR"}, {"Customer"});
    const auto& row = h.dialog.row(1);
    QVERIFY(row.FieldLabel && row.ValueEdit);
    const int width = labelWidth(h.dialog, "Customer");
    QCOMPARE(row.FieldLabel->text(), QStringLiteral("Customer"));
    QCOMPARE(row.FieldLabel->pos(), QPoint(15, 17));
    QCOMPARE(row.FieldLabel->width(), width);
    QVERIFY(row.FieldLabel->font().bold());
    QCOMPARE(row.FieldLabel->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    QCOMPARE(row.ValueEdit->geometry(), QRect(width + 45, 15, 500, 21));
    QCOMPARE(h.dialog.width(), width + 45 + 530);
    QCOMPARE(h.dialog.height(), 119);
    QCOMPARE(h.dialog.minimumSize(), h.dialog.maximumSize());
    QCOMPARE(h.dialog.focusWidget(), row.ValueEdit);
    QCOMPARE(h.dialog.windowTitle(), QStringLiteral("Query Parameters"));
    QCOMPARE(h.dialog.font().pointSize(), 8);
    QVERIFY(h.state.DialogCancelled);
    QVERIFY(h.dialog.bnOk()->isDefault());

    row.ValueEdit->setText("O'Brien");
    h.dialog.bnOkClick();
    QVERIFY(!h.state.DialogCancelled);
    QCOMPARE(h.state.ParamRows.size(), std::size_t(1));
    QCOMPARE(h.state.ParamRows[0].ValueEdit, QStringLiteral("O'Brien"));
    QCOMPARE(h.state.ParamRows[0].FieldMode, PartMode::CaptionOnly);
    QCOMPARE(h.state.ParamRows[0].FieldLabel, QStringLiteral("Customer"));
}

void TestExecParam::tenTextRowsScroll() {
    Harness h;
    QStringList types, names;
    for (int i = 0; i < 10; ++i) {
        types << "TEXT";
        names << QStringLiteral("Note%1").arg(i);
    }
    h.show(types, names);
    QCOMPARE(h.dialog.height(), 650);
    QCOMPARE(h.dialog.row(2).ValueMemo->geometry().top(), 15 + 141);
    QCOMPARE(h.dialog.row(1).ValueMemo->size(), QSize(500, 138));
    QCOMPARE(h.dialog.row(1).ValueMemo->lineWrapMode(), QPlainTextEdit::NoWrap);
    h.dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.dialog));
    QCOMPARE(h.dialog.paramArea()->geometry(), QRect(0, 0, h.dialog.width(), 650 - 42));
    QVERIFY(h.dialog.paramArea()->verticalScrollBar()->maximum() > 0);
    h.dialog.reject();
}

void TestExecParam::longCaptionIsCut() {
    Harness h;
    const QString caption = QString(200, QLatin1Char('W'));
    h.show({"STR", "NUM"}, {"\"" + caption + "\"|{<}", "Short"});
    QCOMPARE(h.dialog.row(1).FieldLabel->width(), 300);
    const int op = labelWidth(h.dialog, "<");
    QCOMPARE(h.dialog.row(1).OperatorLabel->geometry(), QRect(330, 17, op, 21));
    QCOMPARE(h.dialog.row(1).ValueEdit->x(), 345 + op);
    QCOMPARE(h.dialog.row(2).ValueEdit->x(), 345 + op);
    QCOMPARE(h.dialog.row(2).FieldLabel->width(), 300);
}

void TestExecParam::dateTimeRow() {
    Harness h;
    h.show({"DT", "TIME"}, {"When", "At"});
    const auto& dt = h.dialog.row(1);
    const int valueLeft = labelWidth(h.dialog, "When") + 45;
    QCOMPARE(dt.DatePicker->geometry(), QRect(valueLeft, 15, 89, 21));
    QCOMPARE(dt.TimePicker->geometry(), QRect(valueLeft + 92, 15, 89, 21));
    QCOMPARE(h.dialog.row(2).TimePicker->x(), valueLeft);
    QCOMPARE(dt.DatePicker->displayFormat(), QStringLiteral("yyyy-MM-dd"));
    QCOMPARE(dt.DatePicker->date(), QDate::currentDate());
    QCOMPARE(dt.TimePicker->time(), QTime(0, 0, 1));
    QCOMPARE(h.dialog.focusWidget(), dt.DatePicker);
    QCOMPARE(h.dialog.width(), valueLeft + 181 + 30);
    QCOMPARE(h.dialog.height(), 15 + 48 + 80);
}

void TestExecParam::operatorList() {
    Harness h;
    h.show({"NUM"}, {"{price}|{=,<,>}"});
    const auto& row = h.dialog.row(1);
    QCOMPARE(row.FieldMode, PartMode::FixedItem);
    QCOMPARE(row.FieldLabel->text(), QStringLiteral("price"));
    QCOMPARE(row.OperatorMode, PartMode::ChoiceList);
    QCOMPARE(row.OperatorCombo->count(), 3);
    QCOMPARE(row.OperatorCombo->currentText(), QStringLiteral("="));
    const int field = labelWidth(h.dialog, "price");
    QCOMPARE(row.OperatorCombo->geometry(), QRect(field + 30, 15, 70, 21));
    QCOMPARE(row.ValueEdit->x(), field + 70 + 45);

    row.ValueEdit->setText("100");
    h.dialog.bnOkClick();
    QVERIFY(!h.state.DialogCancelled);
    QString sql = "SELECT * FROM p WHERE ?NUM_{price}|{=,<,>}?";
    fnSubstituteParams(sql, h.state.ParamTypes, h.state.ParamNames, h.state.ParamRows, ":");
    QCOMPARE(sql, QStringLiteral("SELECT * FROM p WHERE price = 100"));
}

void TestExecParam::choiceCaption() {
    Harness h;
    h.show({"STR"}, {"\"{name,'home city'}\"|{LIKE}"});
    const auto& row = h.dialog.row(1);
    QCOMPARE(row.FieldMode, PartMode::ChoiceList);
    QCOMPARE(row.FieldCombo->currentText(), QStringLiteral("name"));
    const int fieldWidth = textWidth(h.dialog, "home city") + 70;
    QCOMPARE(row.FieldCombo->geometry(), QRect(15, 15, fieldWidth, 21));
    QCOMPARE(row.OperatorLabel->text(), QStringLiteral("LIKE"));
    row.FieldCombo->setCurrentIndex(1);
    row.ValueEdit->setText("P%");
    h.dialog.bnOkClick();
    QString sql = "WHERE ?STR_\"{name,'home city'}\"|{LIKE}?";
    fnSubstituteParams(sql, h.state.ParamTypes, h.state.ParamNames, h.state.ParamRows, ":");
    QCOMPARE(sql, QStringLiteral("WHERE home city LIKE 'P%'"));
}

void TestExecParam::windowStaysCentred() {
    Harness h;
    h.dialog.move(100, 50);
    h.show({"STR"}, {"Customer"});
    const int grown = h.dialog.width() - 675;
    const int half = static_cast<int>(std::nearbyint(grown / 2.0));
    QCOMPARE(h.dialog.bnOk()->x(), 232 + half);
    QCOMPARE(h.dialog.bnCancel()->x(), 368 + half);
    QCOMPARE(h.dialog.pos(), QPoint(100 - half, 50));
}

void TestExecParam::numericCheck_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value"); // edit text, memo text, list text or ticked items by ";"
    QTest::addColumn<bool>("passes");

    QTest::newRow("numEmpty") << "NUM"
                              << "Amount"
                              << "" << false;
    QTest::newRow("numBlanks") << "NUM"
                               << "Amount"
                               << " 12.5 " << true;
    QTest::newRow("numComma") << "NUM"
                              << "Amount"
                              << "12,5" << false;
    QTest::newRow("numExponent") << "NUM"
                                 << "Amount"
                                 << "1e3" << true;
    QTest::newRow("numDot") << "NUM"
                            << "Amount"
                            << "." << false;
    QTest::newRow("numInjection") << "NUM"
                                  << "Amount"
                                  << "1 OR 1=1" << false;
    QTest::newRow("nlistBlankLines") << "NLIST"
                                     << "Ids"
                                     << "1\n \n 2 " << true;
    QTest::newRow("nlistBadLine") << "NLIST"
                                  << "Ids"
                                  << "1\nx" << false;
    QTest::newRow("pickTyped") << "NFIXPICKW"
                               << "Qty||{1,2}"
                               << "3.5" << true;
    QTest::newRow("pickTypedText") << "NFIXPICKW"
                                   << "Qty||{1,2}"
                                   << "three" << false;
    QTest::newRow("pickNothing") << "NFIXPICKR"
                                 << "Qty||{1,2}"
                                 << "" << false;
    QTest::newRow("checkedNumbers") << "NFIXPICKC"
                                    << "Ids||{1,2,3}"
                                    << "1;3" << true;
    QTest::newRow("checkedNonNumber") << "NFIXPICKC"
                                      << "Ids||{1,'2,5',3}"
                                      << "2,5" << false;
    QTest::newRow("checkedNone") << "NFIXPICKC"
                                 << "Ids||{1,2}"
                                 << "" << true;
    QTest::newRow("stringPickNoTest") << "SFIXPICKW"
                                      << "Who||{a}"
                                      << "abc" << true;
}

void TestExecParam::numericCheck() {
    QFETCH(QString, type);
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(bool, passes);
    Harness h;
    h.show({"STR", type}, {"First", name});
    const auto& row = h.dialog.row(2);
    if (row.ValueEdit)
        row.ValueEdit->setText(value);
    else if (row.ValueMemo)
        row.ValueMemo->setPlainText(value);
    else if (row.ValueCombo && row.ValueCombo->isEditable())
        row.ValueCombo->setEditText(value);
    else if (row.ValueCombo)
        row.ValueCombo->setCurrentIndex(row.ValueCombo->findText(value));
    else
        for (const QString& item : value.split(';', Qt::SkipEmptyParts))
            row.ValueCheckedCombo->checkList()
                ->findItems(item, Qt::MatchExactly)
                .front()
                ->setCheckState(Qt::Checked);
    h.dialog.bnOkClick();
    QCOMPARE(h.state.DialogCancelled, !passes);
    const QString caption = name.section('|', 0, 0);
    QCOMPARE(h.messages, passes
                             ? QStringList()
                             : QStringList{"\"" + caption +
                                           "\" is a numeric parameter. Only numbers are allowed."});
    QCOMPARE(h.state.ParamRows.size(), passes ? std::size_t(2) : std::size_t(0));
}

void TestExecParam::malformedNames_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");

    QTest::newRow("plainThreeParts") << "NUM"
                                     << "a|b|c"
                                     << "Too many parameters. Please check NUM - a|b|c.";
    QTest::newRow("pickTwoParts") << "NFIXPICKR"
                                  << "Qty|{1,2,3}"
                                  << "Not enough parameters. Please check \"Qty\".";
    QTest::newRow("pickNoName") << "SFIXPICKR"
                                << ""
                                << "Not enough parameters. Please check \"\".";
    QTest::newRow("listWithoutBraces") << "sfixpickr"
                                       << "City||Paris"
                                       << "Invalid parameter. Please check SFIXPICKR - "
                                          "City||Paris.";
    QTest::newRow("unquotedSqlList") << "SSQLPICKR"
                                     << "City||{SELECT name FROM cities}"
                                     << "Too many parameters. Please check \"City\".";
    QTest::newRow("choiceCaptionInMessage") << "NSQLPICKR"
                                            << "{a,b}|x|y|z"
                                            << "Too many parameters. Please check \"a\".";
    QTest::newRow("emptyBracesCaption") << "STR"
                                        << "{}|x"
                                        << "Invalid parameter. Please check STR - {}|x.";
    QTest::newRow("emptyBracesOperator") << "SFIXPICKR"
                                         << "City|{}|{a}"
                                         << "Invalid parameter. Please check SFIXPICKR - "
                                            "City|{}|{a}.";
}

void TestExecParam::malformedNames() {
    QFETCH(QString, type);
    QFETCH(QString, name);
    QFETCH(QString, message);
    Harness h;
    h.show({"STR", type, "STR"}, {"Before", name, "After"});
    QCOMPARE(h.messages, QStringList{message});
    QVERIFY(h.dialog.errorPathTaken());
    QVERIFY(h.state.DialogCancelled);
    QVERIFY(!h.dialog.bnOk()->isEnabled());
    QVERIFY(h.dialog.paramArea()->isHidden());
    QVERIFY(!h.dialog.lblSample()->isHidden());
    QCOMPARE(h.dialog.lblSample()->parentWidget(), &h.dialog);
    QCOMPARE(h.dialog.lblSample()->geometry(), h.dialog.rect());
    QCOMPARE(h.dialog.lblSample()->text(),
             QStringLiteral("Invalid parameter. Please click the \"Cancel\" button to continue."));
    QVERIFY(h.lists.asked.isEmpty());

    // The whole showing ends at once, cancelled, without waiting for a click.
    h.messages.clear();
    h.dialog.exec(h.state, h.lists);
    QVERIFY(h.state.DialogCancelled);
    QVERIFY(h.state.ParamRows.empty());
    QCOMPARE(h.messages, QStringList{message});
}

void TestExecParam::fixedPickList() {
    Harness h;
    h.show({"SFIXPICKR", "SFIXPICKW"}, {"City||{Paris,London}", "Town||\"{'New York',Rome}\""});
    const auto& row = h.dialog.row(1);
    QVERIFY(row.ValueCombo);
    QVERIFY(!row.ValueCombo->isEditable());
    QCOMPARE(row.ValueCombo->count(), 2);
    QCOMPARE(row.ValueCombo->currentText(), QString());
    QCOMPARE(row.OperatorMode, PartMode::CaptionOnly);
    QCOMPARE(row.OperatorLabel->text(), QString());
    QVERIFY(h.dialog.row(2).ValueCombo->isEditable());
    QCOMPARE(h.dialog.row(2).ValueCombo->itemText(0), QStringLiteral("New York"));
    QCOMPARE(h.dialog.focusWidget(), row.ValueCombo);
    row.ValueCombo->setCurrentIndex(1);
    h.dialog.row(2).ValueCombo->setEditText("O'Hare");
    h.dialog.bnOkClick();
    QString sql = "?SFIXPICKR_City||{Paris,London}? ?SFIXPICKW_Town||\"{'New York',Rome}\"?";
    fnSubstituteParams(sql, h.state.ParamTypes, h.state.ParamNames, h.state.ParamRows, ":");
    QCOMPARE(sql, QStringLiteral("'London' 'O''Hare'"));
}

void TestExecParam::sqlPickLists_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("ticked");
    QTest::addColumn<QString>("rendered");

    const QStringList rows{"3", "5", "7"};
    QTest::newRow("numbers") << "NSQLPICKC" << rows << QStringList{"3", "7"} << "(3,7)";
    QTest::newRow("strings") << "SSQLPICKC" << QStringList{"a", "b"} << QStringList{"a", "b"}
                             << "('a','b')";
    QTest::newRow("verbatim") << "VSQLPICKC" << QStringList{"a", "b"} << QStringList{"a", "b"}
                              << "a,b";
    // A list value from the database cannot end its quotes early.
    QTest::newRow("quoteInRow") << "SSQLPICKC" << QStringList{"O'Brien", "Smith, John"}
                                << QStringList{"O'Brien", "Smith, John"}
                                << "('O''Brien','Smith, John')";
    QTest::newRow("nothingTicked") << "NSQLPICKC" << rows << QStringList{} << "()";
    QTest::newRow("pickOnly") << "SSQLPICKR" << QStringList{"Rome", "", "Oslo"}
                              << QStringList{"Oslo"} << "'Oslo'";
    QTest::newRow("emptyChoice") << "SSQLPICKR" << QStringList{"Rome", "", "Oslo"}
                                 << QStringList{""} << "''";
    QTest::newRow("noRows") << "SSQLPICKW" << QStringList{} << QStringList{} << "''";
}

void TestExecParam::sqlPickLists() {
    QFETCH(QString, type);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, ticked);
    QFETCH(QString, rendered);
    Harness h;
    h.lists.rows = rows;
    const QString name = "Ids||\"{SELECT id FROM t}\"";
    h.show({type}, {name});
    QCOMPARE(h.lists.asked, QStringList{"SELECT id FROM t"});
    const auto& row = h.dialog.row(1);
    if (row.ValueCheckedCombo) {
        QCOMPARE(row.ValueCheckedCombo->items(), rows);
        for (const QString& item : ticked)
            row.ValueCheckedCombo->checkList()
                ->findItems(item, Qt::MatchExactly)
                .front()
                ->setCheckState(Qt::Checked);
    } else {
        QCOMPARE(row.ValueCombo->count(), rows.size());
        for (int i = 0; i < rows.size(); ++i)
            QCOMPARE(row.ValueCombo->itemText(i), rows[i]);
        QCOMPARE(row.ValueCombo->currentIndex(), -1);
        if (!ticked.isEmpty())
            row.ValueCombo->setCurrentIndex(rows.indexOf(ticked.front()));
    }
    h.dialog.bnOkClick();
    QVERIFY(!h.state.DialogCancelled);
    QString sql = "?" + type + "_" + name + "?";
    fnSubstituteParams(sql, h.state.ParamTypes, h.state.ParamNames, h.state.ParamRows, ":");
    QCOMPARE(sql, rendered);
}

void TestExecParam::pickListQueryFails() {
    Harness h;
    h.lists.failure = "no such table: nowhere";
    h.show({"STR", "SSQLPICKR", "VSQLPICKR"},
           {"First", "City||\"{SELECT name FROM nowhere}\"", "Other||{x}"});
    QCOMPARE(h.messages, QStringList{"no such table: nowhere"});
    QCOMPARE(h.lists.asked.size(), 1);
    QVERIFY(h.dialog.errorPathTaken());
    QVERIFY(h.state.DialogCancelled);
    QCOMPARE(
        h.dialog.lblSample()->text(),
        QStringLiteral("no such table: nowhere. Please click the \"Cancel\" button to continue."));
    QVERIFY(!h.dialog.bnOk()->isEnabled());
}

void TestExecParam::pickWidthFollowsItems() {
    Harness h;
    const QString wide = QString(60, QLatin1Char('m'));
    h.lists.rows = {"short", wide};
    h.show({"VSQLPICKR", "VFIXPICKC"}, {"A||{SELECT}", "B||{x,y}"});
    const int pick = std::min(500, textWidth(h.dialog, wide) + 70);
    QCOMPARE(h.dialog.row(1).ValueCombo->width(), pick);
    QCOMPARE(h.dialog.row(2).ValueCheckedCombo->width(), pick);
    const int valueLeft = std::max(labelWidth(h.dialog, "A"), labelWidth(h.dialog, "B")) + 45;
    QCOMPARE(h.dialog.row(2).ValueCheckedCombo->x(), valueLeft);
    QCOMPARE(h.dialog.width(), valueLeft + pick + 30);
}

void TestExecParam::okThroughModalRun() {
    Harness h;
    h.state.ParamTypes = {"PWD", "SLIST"};
    h.state.ParamNames = {"Secret", "Names"};
    h.state.ParamCount = 2;
    QTimer::singleShot(0, &h.dialog, [&] {
        QCOMPARE(h.dialog.row(1).ValueEdit->echoMode(), QLineEdit::Password);
        h.dialog.row(1).ValueEdit->setText("x'y");
        h.dialog.row(2).ValueMemo->setPlainText("a\n\nb");
        QTest::mouseClick(h.dialog.bnOk(), Qt::LeftButton);
    });
    h.dialog.exec(h.state, h.lists);
    QVERIFY(!h.state.DialogCancelled);
    QVERIFY(h.dialog.paramArea() == nullptr);
    QString sql = "?PWD_Secret? IN ?SLIST_Names?";
    fnSubstituteParams(sql, h.state.ParamTypes, h.state.ParamNames, h.state.ParamRows, ":");
    QCOMPARE(sql, QStringLiteral("'x''y' IN ('a','','b')"));
}

// The window lives for the whole run: a showing after the error path starts clean, and the
// window stays centred on the same point.
void TestExecParam::reusedAfterErrorPath() {
    Harness h;
    h.dialog.move(300, 40);
    h.show({"NUM"}, {"a|b|c"});
    QVERIFY(h.dialog.errorPathTaken());
    const int centre = h.dialog.x() + h.dialog.width() / 2;
    h.messages.clear();
    h.show({"STR", "STR"}, {"First", "\"A much longer caption\""});
    QVERIFY(h.messages.isEmpty());
    QVERIFY(!h.dialog.errorPathTaken());
    QVERIFY(h.dialog.bnOk()->isEnabled());
    QVERIFY(h.dialog.lblSample()->isHidden());
    QVERIFY(!h.dialog.paramArea()->isHidden());
    QCOMPARE(h.dialog.rowCount(), 2);
    QVERIFY(std::abs(h.dialog.x() + h.dialog.width() / 2 - centre) <= 1);
    QVERIFY(std::abs(h.dialog.bnOk()->x() - (h.dialog.width() - 675) / 2 - 232) <= 1);
    h.dialog.row(1).ValueEdit->setText("1");
    h.dialog.bnOkClick();
    QVERIFY(!h.state.DialogCancelled);
}

void TestExecParam::closingCancels_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("closeBox") << 0;
    QTest::newRow("escape") << 1;
    QTest::newRow("cancelButton") << 2;
}

void TestExecParam::closingCancels() {
    QFETCH(int, how);
    Harness h;
    h.state.ParamTypes = {"STR"};
    h.state.ParamNames = {"Customer"};
    h.state.ParamCount = 1;
    QTimer::singleShot(0, &h.dialog, [&] {
        h.dialog.row(1).ValueEdit->setText("typed");
        if (how == 0)
            h.dialog.close();
        else if (how == 1)
            QTest::keyClick(&h.dialog, Qt::Key_Escape);
        else
            QTest::mouseClick(h.dialog.bnCancel(), Qt::LeftButton);
    });
    h.dialog.exec(h.state, h.lists);
    QVERIFY(h.state.DialogCancelled);
    QVERIFY(h.state.ParamRows.empty());
    QVERIFY(!h.dialog.isVisible());
}

QTEST_MAIN(TestExecParam)
#include "tst_TExecParam.moc"
