#include "app/ResultGrid.h"

#include <QHeaderView>
#include <QTest>
#include <gtest/gtest.h>

using namespace velmora;

namespace {

TEST(SortExpression, CyclesPerFieldAndComparesTheFieldWhole) {
    const struct {
        const char* current;
        const char* field;
        const char* next;
    } cases[] = {
        {"", "AMOUNT", "AMOUNT ASC"},
        {"AMOUNT ASC", "AMOUNT", "AMOUNT DESC"},
        {"AMOUNT DESC", "AMOUNT", "AMOUNT ASC"},
        {"AMOUNT ASC", "NAME", "NAME ASC"},
        {"IDX ASC", "ID", "ID ASC"}, // a field whose name begins another's starts its own cycle
        {"ID ASC", "IDX", "IDX ASC"},
        {"amount ASC", "AMOUNT", "AMOUNT ASC"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResultGrid::nextSortExpression(QString::fromLatin1(c.current),
                                                 QString::fromLatin1(c.field)),
                  QString::fromLatin1(c.next))
            << c.current << " + " << c.field;
}

FieldInfo field(const char* name, FieldType type, ColumnKind kind, int width, int size) {
    FieldInfo f;
    f.name = QString::fromLatin1(name);
    f.type = type;
    f.kind = kind;
    f.displayWidth = width;
    f.dataSize = size;
    return f;
}

// A grid over a small result: NAME holds short and long texts, AMOUNT numbers, CODE short codes.
class ResultGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResultSet rows;
        rows.addColumn(field("NAME", FieldType::ftString, ColumnKind::Text, 20, 20));
        rows.addColumn(field("AMOUNT", FieldType::ftInteger, ColumnKind::Int64, 10, 4));
        rows.addColumn(field("A_LONG_TITLE", FieldType::ftString, ColumnKind::Text, 2, 2));
        const char* names[] = {"b", "a much longer name than the title", "c", "a"};
        const int amounts[] = {30, 10, 20, 40};
        for (int i = 0; i < 4; ++i) {
            rows.appendText(0, names[i]);
            rows.appendInt(1, amounts[i]);
            rows.appendText(2, "x");
            rows.endRow();
        }
        dataset.open(std::move(rows));
        state.ResultRowCount = 4;
        grid = std::make_unique<ResultGrid>(state, dataset, nullptr);
        grid->resize(900, 300);
        grid->showRowIndicator = [this](const QString& t) {
            panel0 = t;
        };
        grid->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(grid.get()));
    }

    QString columnText(int col) const {
        QStringList out;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            out << grid->model()->index(r, col).data().toString();
        return out.join(QLatin1Char(','));
    }
    QPoint titleCentre(int col) const {
        QHeaderView* h = grid->horizontalHeader();
        return {h->sectionViewportPosition(col) + h->sectionSize(col) / 2, h->height() / 2};
    }
    void clickTitle(int col) {
        QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {},
                          titleCentre(col));
    }
    // What Qt delivers for a real double-click on a title: a click, then one double-click.
    void doubleClickTitle(int col) {
        clickTitle(col);
        QTest::mouseDClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {},
                           titleCentre(col));
    }
    int textWidth(const QString& t) const { return grid->fontMetrics().horizontalAdvance(t); }
    int margins() const {
        return 2 *
               (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid.get()) + 1);
    }

    SessionState state;
    Dataset dataset{QStringLiteral("ADOQry1")};
    std::unique_ptr<ResultGrid> grid;
    QString panel0;
};

TEST_F(ResultGridTest, TitleClicksCycleAscendingDescendingAndMoveTheBoldTitle) {
    grid->DBGrid1TitleClick(1);
    EXPECT_EQ(columnText(1), QStringLiteral("10,20,30,40"));
    EXPECT_EQ(dataset.sort(), QStringLiteral("AMOUNT ASC"));
    grid->DBGrid1TitleClick(1);
    EXPECT_EQ(columnText(1), QStringLiteral("40,30,20,10"));
    grid->DBGrid1TitleClick(1);
    EXPECT_EQ(columnText(1), QStringLiteral("10,20,30,40"));
    EXPECT_EQ(grid->gridModel().boldColumn(), 1);
    EXPECT_TRUE(grid->model()->headerData(1, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
    grid->DBGrid1TitleClick(0);
    EXPECT_EQ(dataset.sort(), QStringLiteral("NAME ASC"));
    EXPECT_EQ(state.SortedColumnIndex, 0);
    EXPECT_FALSE(grid->model()->headerData(1, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
}

TEST_F(ResultGridTest, RealClicksOnTitlesSort) {
    clickTitle(1);
    EXPECT_EQ(dataset.sort(), QStringLiteral("AMOUNT ASC"));
    clickTitle(1);
    EXPECT_EQ(dataset.sort(), QStringLiteral("AMOUNT DESC"));
}

TEST_F(ResultGridTest, DoubleClickOnTitleSortsOnceAndFitsOnce) {
    grid->setColumnWidth(0, 20);
    doubleClickTitle(0);
    EXPECT_EQ(dataset.sort(), QStringLiteral("NAME ASC")) << "the first click sorted, once";
    EXPECT_EQ(grid->columnWidth(0),
              textWidth(QStringLiteral("a much longer name than the title")) + 4 + margins());
    EXPECT_FALSE(state.TitleClicked);
    EXPECT_FALSE(state.GridDoubleClicked);
    clickTitle(0);
    EXPECT_EQ(dataset.sort(), QStringLiteral("NAME DESC")) << "the next click sorts as usual";
}

TEST_F(ResultGridTest, DoubleClickOnADataCellChangesNothing) {
    const int width = grid->columnWidth(1);
    const QRect cell = grid->visualRect(grid->model()->index(1, 1));
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(dataset.sort(), QString());
    EXPECT_EQ(grid->columnWidth(1), width);
    clickTitle(1);
    EXPECT_EQ(dataset.sort(), QStringLiteral("AMOUNT ASC"));
}

TEST_F(ResultGridTest, FitsToTheLongestVisibleTextOrToTheTitle) {
    grid->fnAutofitColumnWidth();
    EXPECT_EQ(grid->columnWidth(0),
              textWidth(QStringLiteral("a much longer name than the title")) + 4 + margins());
    EXPECT_EQ(grid->columnWidth(2), textWidth(QStringLiteral("A_LONG_TITLE")) + 4 + margins());
}

TEST_F(ResultGridTest, HiddenGridFitsEveryColumnToItsTitle) {
    grid->hide();
    grid->fnAutofitColumnWidth();
    EXPECT_EQ(grid->columnWidth(0), textWidth(QStringLiteral("NAME")) + 4 + margins());
}

TEST_F(ResultGridTest, RowIndicatorFollowsKeysAndWheel) {
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(0, 0));
    QTest::keyClick(grid.get(), Qt::Key_Down);
    EXPECT_EQ(panel0, QStringLiteral("Row 2 of 4"));
    QWheelEvent wheel(QPointF(20, 40), grid->viewport()->mapToGlobal(QPointF(20, 40)), {},
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid->viewport(), &wheel);
    EXPECT_EQ(panel0, QStringLiteral("Row 3 of 4"));
    dataset.close();
    panel0 = QStringLiteral("kept");
    QTest::keyClick(grid.get(), Qt::Key_Up);
    EXPECT_EQ(panel0, QStringLiteral("kept"));
}

} // namespace
