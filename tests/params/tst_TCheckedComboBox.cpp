#include "params/TCheckedComboBox.h"

#include <QCursor>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using velmora::TCHBQuoteStyle;
using velmora::TCheckedComboBox;

namespace {

// Ticks or clears the first list entry with the given text, as a click on its box does.
void setTicked(TCheckedComboBox& combo, const QString& text, bool ticked) {
    const auto found = combo.checkList()->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    found.front()->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

} // namespace

class TestCheckedComboBox : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void defaults();
    void ticking_data();
    void ticking();
    void selectAllAndDeSelectAll();
    void quoteStyles_data();
    void quoteStyles();
    void changingItemsClearsTicks();
    void sortDisplay();
    void dropDownLines_data();
    void dropDownLines();
    void dropDownLinesBounds();
    void dropDownPlacement();
    void focusColours();
    void closingClickIsSwallowed();
    void pressOnButtonClosesList();
    void escapeClosesList();
    void roomForSelected();
    void heightFollowsFont();
};

void TestCheckedComboBox::defaults() {
    TCheckedComboBox combo;
    QCOMPARE(combo.items(), QStringList());
    QCOMPARE(combo.capSelectAll(), QStringLiteral("&Select All"));
    QCOMPARE(combo.capDeSelectAll(), QStringLiteral("&DeSelect All"));
    QCOMPARE(combo.notFocusColor(), QColor(255, 255, 255));
    QCOMPARE(combo.sorted(), false);
    QCOMPARE(combo.quoteStyle(), TCHBQuoteStyle::qsNone);
    QCOMPARE(combo.columns(), 0);
    QCOMPARE(combo.dropDownLines(), 6);
    QCOMPARE(combo.emptyValue(), QStringLiteral("<none>"));
    QCOMPARE(combo.sortDisplay(), false);
    QCOMPARE(combo.property("Version").toString(), QStringLiteral("1.7"));
    QCOMPARE(combo.width(), 121);
    QCOMPARE(combo.displayBox()->text(), QStringLiteral("<none>"));
    QVERIFY(combo.displayBox()->isReadOnly());
    QCOMPARE(combo.dropButton()->width(), 16);
    QCOMPARE(combo.dropButton()->focusPolicy(), Qt::NoFocus);
}

// Steps: "+x" ticks x, "-x" clears it.
void TestCheckedComboBox::ticking_data() {
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("singleQuoted");

    const QStringList abc{"a", "b", "c"};
    QTest::newRow("tickOrder") << abc << QStringList{"+c", "+a"} << "c,a"
                               << "'c','a'";
    QTest::newRow("untickFirst") << abc << QStringList{"+c", "+a", "-c"} << "a"
                                 << "'a'";
    QTest::newRow("untickAll") << abc << QStringList{"+c", "+a", "-c", "-a"} << "<none>"
                               << "";
    QTest::newRow("untickMiddle") << abc << QStringList{"+a", "+b", "+c", "-b"} << "a,c"
                                  << "'a','c'";
    // Items are kept whole: "x" is a value of its own beside "x,y".
    QTest::newRow("commaItem") << QStringList{"x", "x,y"} << QStringList{"+x,y", "+x"} << "x,y,x"
                               << "'x,y','x'";
    QTest::newRow("commaItemAlone")
        << QStringList{"Smith, John", "Doe"} << QStringList{"+Smith, John"} << "Smith, John"
        << "'Smith, John'";
}

void TestCheckedComboBox::ticking() {
    QFETCH(QStringList, items);
    QFETCH(QStringList, steps);
    QFETCH(QString, display);
    QFETCH(QString, singleQuoted);

    TCheckedComboBox combo;
    combo.setItems(items);
    QSignalSpy changes(&combo, &TCheckedComboBox::changed);
    for (const QString& step : steps)
        setTicked(combo, step.mid(1), step.front() == QLatin1Char('+'));
    QCOMPARE(combo.displayBox()->text(), display);
    QCOMPARE(changes.count(), steps.size());
    combo.setQuoteStyle(TCHBQuoteStyle::qsSingle);
    QCOMPARE(combo.GetValueText(), singleQuoted);
}

void TestCheckedComboBox::selectAllAndDeSelectAll() {
    TCheckedComboBox combo;
    combo.setItems({"a", "b", "c"});
    setTicked(combo, "c", true);
    QSignalSpy changes(&combo, &TCheckedComboBox::changed);
    combo.selectAllAction()->trigger();
    QCOMPARE(combo.displayBox()->text(), QStringLiteral("a,b,c"));
    QCOMPARE(combo.GetValueText(), QStringLiteral("a,b,c"));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(combo.checkList()->item(i)->checkState(), Qt::Checked);
    combo.deSelectAllAction()->trigger();
    QCOMPARE(combo.displayBox()->text(), QStringLiteral("<none>"));
    QCOMPARE(combo.GetValueText(), QString());
    QCOMPARE(combo.checkList()->item(2)->checkState(), Qt::Unchecked);
    QCOMPARE(changes.count(), 2);

    combo.setCapSelectAll("All");
    combo.ButtonClick();
    QCOMPARE(combo.selectAllAction()->text(), QStringLiteral("All"));
    combo.dropDown()->hide();
}

void TestCheckedComboBox::quoteStyles_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("value");
    // Quotes inside an item are doubled, so the item cannot close its literal early.
    QTest::newRow("none") << int(TCHBQuoteStyle::qsNone) << "O'Brien,say \"hi\"";
    QTest::newRow("single") << int(TCHBQuoteStyle::qsSingle) << "'O''Brien','say \"hi\"'";
    QTest::newRow("double") << int(TCHBQuoteStyle::qsDouble) << "\"O'Brien\",\"say \"\"hi\"\"\"";
}

void TestCheckedComboBox::quoteStyles() {
    QFETCH(int, style);
    QFETCH(QString, value);
    TCheckedComboBox combo;
    combo.setItems({"O'Brien", "say \"hi\""});
    combo.setQuoteStyle(TCHBQuoteStyle(style));
    QCOMPARE(combo.GetValueText(), QString());
    setTicked(combo, "O'Brien", true);
    setTicked(combo, "say \"hi\"", true);
    QCOMPARE(combo.GetValueText(), value);
}

void TestCheckedComboBox::changingItemsClearsTicks() {
    TCheckedComboBox combo;
    combo.setItems({"a", "b"});
    setTicked(combo, "a", true);
    combo.addItem("c");
    QCOMPARE(combo.checkList()->count(), 3);
    QCOMPARE(combo.checkList()->item(0)->checkState(), Qt::Unchecked);
    QCOMPARE(combo.displayBox()->text(), QStringLiteral("<none>"));

    setTicked(combo, "b", true);
    combo.ClearAll();
    QCOMPARE(combo.items(), QStringList());
    QCOMPARE(combo.checkList()->count(), 0);
    QCOMPARE(combo.GetValueText(), QString());

    combo.setSorted(true);
    combo.setItems({"c", "a", "b"});
    QCOMPARE(combo.items(), (QStringList{"a", "b", "c"}));
    QCOMPARE(combo.checkList()->item(0)->text(), QStringLiteral("a"));
}

void TestCheckedComboBox::sortDisplay() {
    TCheckedComboBox combo;
    combo.setItems({"a", "b", "c"});
    combo.setSortDisplay(true);
    setTicked(combo, "c", true);
    setTicked(combo, "a", true);
    QCOMPARE(combo.displayBox()->text(), QStringLiteral("a,c"));
    QCOMPARE(combo.GetValueText(), QStringLiteral("a,c"));
    combo.setEmptyValue("(nothing)");
    combo.DeSelectAllClick();
    QCOMPARE(combo.displayBox()->text(), QStringLiteral("(nothing)"));
}

void TestCheckedComboBox::dropDownLines_data() {
    QTest::addColumn<int>("items");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("lines");
    QTest::newRow("thirtyInThreeColumns") << 30 << 3 << 10;
    QTest::newRow("fiveInNoColumns") << 5 << 0 << 6;
    QTest::newRow("tenInTwoColumns") << 10 << 2 << 6;
    QTest::newRow("twentyOneInThreeColumns") << 21 << 3 << 8;
    QTest::newRow("manyInOneColumn") << 40 << 1 << 6;
}

void TestCheckedComboBox::dropDownLines() {
    QFETCH(int, items);
    QFETCH(int, columns);
    QFETCH(int, lines);
    QWidget window;
    window.resize(400, 300);
    auto* combo = new TCheckedComboBox(&window);
    combo->move(10, 10);
    QStringList list;
    for (int i = 0; i < items; ++i)
        list << QStringLiteral("item %1").arg(i);
    combo->setItems(list);
    combo->setColumns(columns);
    window.show();
    combo->ButtonClick();
    QCOMPARE(combo->dropDownLines(), lines);
    QVERIFY(combo->dropDown()->isVisible());
    QCOMPARE(combo->dropDown()->height(), combo->itemHeight() * lines + 4);
    QCOMPARE(combo->dropDown()->width(), combo->width());
    combo->dropDown()->hide();
}

void TestCheckedComboBox::dropDownLinesBounds() {
    TCheckedComboBox combo;
    for (int ignored : {5, 11, 0, -3})
        combo.setDropDownLines(ignored);
    QCOMPARE(combo.dropDownLines(), 6);
    combo.setDropDownLines(10);
    QCOMPARE(combo.dropDownLines(), 10);
}

// Below the control, or above it when the list would end within 20 pixels of the screen bottom.
void TestCheckedComboBox::dropDownPlacement() {
    const int screenHeight = QGuiApplication::primaryScreen()->geometry().height();
    for (const bool nearBottom : {false, true}) {
        QWidget window(nullptr, Qt::FramelessWindowHint);
        window.resize(300, 60);
        window.move(0, nearBottom ? screenHeight - 80 : 0);
        auto* combo = new TCheckedComboBox(&window);
        combo->move(10, 10);
        combo->setItems({"a", "b"});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        combo->ButtonClick();
        const QPoint top = combo->mapToGlobal(QPoint(0, 0));
        const int expected =
            nearBottom ? top.y() - combo->dropDown()->height() : top.y() + combo->height();
        QCOMPARE(combo->dropDown()->geometry().top(), expected);
        QCOMPARE(combo->dropDown()->geometry().left(), top.x());
        combo->dropDown()->hide();
    }
}

void TestCheckedComboBox::focusColours() {
    QWidget window;
    auto* other = new QLineEdit(&window);
    auto* combo = new TCheckedComboBox(&window);
    combo->move(0, 40);
    combo->setNotFocusColor(QColor(200, 200, 255));
    QCOMPARE(combo->displayBox()->palette().color(QPalette::Base), QColor(200, 200, 255));
    QSignalSpy entered(combo, &TCheckedComboBox::entered);
    QSignalSpy exited(combo, &TCheckedComboBox::exited);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    combo->displayBox()->setFocus();
    QTRY_COMPARE(entered.count(), 1);
    QCOMPARE(combo->displayBox()->palette().color(QPalette::Base), QColor(255, 255, 255));
    other->setFocus();
    QTRY_COMPARE(exited.count(), 1);
    QCOMPARE(combo->displayBox()->palette().color(QPalette::Base), QColor(200, 200, 255));
}

// A press on the drop button while the list is open closes the list; the click that follows
// must not open it again.
void TestCheckedComboBox::closingClickIsSwallowed() {
    QWidget window;
    window.resize(300, 200);
    auto* combo = new TCheckedComboBox(&window);
    combo->move(20, 20);
    combo->setItems({"a", "b"});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy closed(combo, &TCheckedComboBox::closeUp);

    combo->ButtonClick();
    QVERIFY(combo->dropDown()->isVisible());
    QCursor::setPos(combo->dropButton()->mapToGlobal(combo->dropButton()->rect().center()));
    combo->dropDown()->hide();
    QCOMPARE(closed.count(), 1);
    combo->ButtonClick();
    QVERIFY(!combo->dropDown()->isVisible());
    combo->ButtonClick();
    QVERIFY(combo->dropDown()->isVisible());

    QCursor::setPos(window.mapToGlobal(QPoint(250, 150)));
    combo->dropDown()->hide();
    combo->ButtonClick();
    QVERIFY(combo->dropDown()->isVisible());
    combo->dropDown()->hide();
}

// The same through the window system: the press closes the list, whether or not the platform
// replays it to the button, and the next click opens the list again.
void TestCheckedComboBox::pressOnButtonClosesList() {
    QWidget window;
    window.resize(300, 200);
    auto* combo = new TCheckedComboBox(&window);
    combo->move(20, 20);
    combo->setItems({"a", "b"});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QPoint onButton =
        combo->dropButton()->mapTo(&window, combo->dropButton()->rect().center());
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, onButton);
    QTRY_VERIFY(combo->dropDown()->isVisible());
    QCursor::setPos(window.mapToGlobal(onButton));
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, onButton);
    QTRY_VERIFY(!combo->dropDown()->isVisible());
    QTest::qWait(50);
    QVERIFY(!combo->dropDown()->isVisible());
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, onButton + QPoint(1, 1));
    QTRY_VERIFY(combo->dropDown()->isVisible());
    combo->dropDown()->hide();
}

void TestCheckedComboBox::escapeClosesList() {
    QWidget window;
    auto* combo = new TCheckedComboBox(&window);
    combo->setItems({"a"});
    window.show();
    combo->ButtonClick();
    QVERIFY(combo->dropDown()->isVisible());
    QTest::keyClick(combo->checkList(), Qt::Key_Escape);
    QVERIFY(!combo->dropDown()->isVisible());
}

void TestCheckedComboBox::roomForSelected() {
    TCheckedComboBox combo;
    QStringList shown;
    combo.messageBox = [&](const QString& text) {
        shown << text;
    };
    const QString big(65530, QLatin1Char('x'));
    combo.setItems({big, "abcd", "abcdef"});
    setTicked(combo, big, true);
    setTicked(combo, "abcd", true); // 65530 + 4 + 1 = 65535: still fits
    QVERIFY(shown.isEmpty());
    setTicked(combo, "abcdef", true);
    QCOMPARE(shown, QStringList{"There is no room for Selected"});
    QCOMPARE(combo.checkedItems(), (QStringList{big, "abcd"}));
    QCOMPARE(combo.checkList()->item(2)->checkState(), Qt::Checked);
}

void TestCheckedComboBox::heightFollowsFont() {
    TCheckedComboBox combo;
    QFont font = combo.font();
    font.setPointSize(20);
    combo.setFont(font);
    QCOMPARE(combo.height(), QFontMetrics(font).height() + 8);
    combo.show();
    combo.resize(200, 10);
    QCOMPARE(combo.height(), QFontMetrics(font).height() + 8);
    QCOMPARE(combo.dropButton()->height(), combo.height() - 2);
    QCOMPARE(combo.dropButton()->x(), combo.displayBox()->width() + 1);
    QCOMPARE(combo.displayBox()->width(), 200 - 16 - 3);
}

QTEST_MAIN(TestCheckedComboBox)
#include "tst_TCheckedComboBox.moc"
