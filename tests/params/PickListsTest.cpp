#include "Share/PickLists.h"
#include "DbTestSupport.h"
#include "QtPrinters.h"
#include "TestEnv.h"
#include "params/TExecParam.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

namespace velmora {
namespace {

QString errorOf(PickLists& lists, const QString& sql) {
    try {
        lists.fetch(sql);
    } catch (const std::runtime_error& e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}

// The dialog over the real pick lists, with its boxes recorded.
struct Dialog {
    TExecParam dialog;
    QStringList messages;
    SessionState state;
    Dialog() {
        dialog.messageBox = [this](const QString& text) {
            messages << text;
        };
    }
    void show(PickLists& lists, const QString& type, const QString& name) {
        state.ParamTypes = {type};
        state.ParamNames = {name};
        state.ParamCount = 1;
        dialog.FormShow(state, lists);
    }
    QStringList choices() const {
        QStringList out;
        const QComboBox* combo = dialog.row(1).ValueCombo;
        for (int i = 0; i < combo->count(); ++i)
            out << combo->itemText(i);
        return out;
    }
};

// Both databases get the same checks; each fixture opens its connection and names its tables.
class PickListDb : public ::testing::Test {
protected:
    Tdm1 dm;
    std::optional<PickLists> lists;
    QString citiesSql; // city names in a fixed order, one of them NULL

    void checkNullRowGivesEmptyChoice() {
        EXPECT_EQ(lists->fetch(citiesSql), (QStringList{"Rome", "", "Oslo"}));
        EXPECT_FALSE(dm.ADOQry1.active());
    }

    void checkShownResultIsClosed() {
        dm.ADOQry1.setSql(citiesSql);
        dm.ADOQry1.openQuery();
        ASSERT_TRUE(dm.ADOQry1.active());
        lists->fetch(QStringLiteral("SELECT 1"));
        EXPECT_FALSE(dm.ADOQry1.active());
        EXPECT_EQ(dm.ADOQry1.sql(), QStringLiteral("SELECT 1"));
    }

    void checkMissingTable() {
        const QString error = errorOf(*lists, QStringLiteral("SELECT name FROM nowhere"));
        EXPECT_TRUE(error.contains(QStringLiteral("nowhere"))) << error.toStdString();
        EXPECT_FALSE(dm.ADOQry1.active());

        Dialog d;
        d.show(*lists, QStringLiteral("SSQLPICKR"),
               QStringLiteral("City||\"{SELECT name FROM nowhere}\""));
        EXPECT_EQ(d.messages, QStringList{error});
        EXPECT_TRUE(d.dialog.errorPathTaken());
        EXPECT_TRUE(d.state.DialogCancelled);
        EXPECT_EQ(d.dialog.lblSample()->text(),
                  error + QStringLiteral(". Please click the \"Cancel\" button to continue."));
        // The connection is still usable after the failure.
        EXPECT_EQ(lists->fetch(QStringLiteral("SELECT 'ok'")), QStringList{"ok"});
    }

    void checkDialogChoices() {
        Dialog d;
        d.show(*lists, QStringLiteral("SSQLPICKR"),
               QStringLiteral("City||\"{") + citiesSql + QStringLiteral("}\""));
        EXPECT_TRUE(d.messages.isEmpty());
        EXPECT_EQ(d.choices(), (QStringList{"Rome", "", "Oslo"}));
        d.dialog.row(1).ValueCombo->setCurrentIndex(2);
        d.dialog.bnOkClick();
        EXPECT_FALSE(d.state.DialogCancelled);
        EXPECT_EQ(d.state.ParamRows.at(0).ValueCombo, QStringLiteral("Oslo"));
    }
};

class SamplePickLists : public PickListDb {
protected:
    void SetUp() override {
        const QString path = test::binaryPath(QStringLiteral("samples/sample.db"));
        ASSERT_TRUE(QFile::exists(path)) << path.toStdString();
        dm.ADOConn1.setConnectionString(QStringLiteral("Provider=SQLite;Data Source=") + path);
        dm.ADOConn1.open();
        lists.emplace(dm.ADOQry1);
        citiesSql = QStringLiteral(
            "SELECT CASE id WHEN 1 THEN 'Rome' WHEN 2 THEN NULL ELSE 'Oslo' END FROM customers "
            "WHERE id <= 3 ORDER BY id");
    }
};

TEST_F(SamplePickLists, NullRowGivesEmptyChoice) {
    checkNullRowGivesEmptyChoice();
}
TEST_F(SamplePickLists, ShownResultIsClosed) {
    checkShownResultIsClosed();
}
TEST_F(SamplePickLists, MissingTable) {
    checkMissingTable();
}
TEST_F(SamplePickLists, DialogChoices) {
    checkDialogChoices();
}

TEST_F(SamplePickLists, ValuesAsText) {
    // Every ninth customer has no e-mail address.
    EXPECT_EQ(lists->fetch(
                  QStringLiteral("SELECT email FROM customers WHERE id IN (8, 9, 10) ORDER BY id")),
              (QStringList{"contact8@example.com", "", "contact10@example.com"}));
    EXPECT_EQ(lists->fetch(QStringLiteral("SELECT id FROM customers WHERE id <= 3 ORDER BY id")),
              (QStringList{"1", "2", "3"}));
    EXPECT_EQ(lists->fetch(QStringLiteral("SELECT name FROM customers WHERE id < 0")),
              QStringList());
}

class PostgresPickLists : public PickListDb {
protected:
    void SetUp() override {
        VELMORA_REQUIRE_PG(pg);
        dm.ADOConn1.setConnectionString(pg.connectionString());
        dm.ADOConn1.open();
        test::execute(dm, QStringLiteral("DROP TABLE IF EXISTS pick_cities"));
        test::execute(dm, QStringLiteral("CREATE TABLE pick_cities (n integer, name text)"));
        test::execute(dm, QStringLiteral("INSERT INTO pick_cities VALUES (1, 'Rome'), "
                                         "(2, NULL), (3, 'Oslo')"));
        lists.emplace(dm.ADOQry1);
        citiesSql = QStringLiteral("SELECT name FROM pick_cities ORDER BY n");
    }
};

TEST_F(PostgresPickLists, NullRowGivesEmptyChoice) {
    checkNullRowGivesEmptyChoice();
}
TEST_F(PostgresPickLists, ShownResultIsClosed) {
    checkShownResultIsClosed();
}
TEST_F(PostgresPickLists, MissingTable) {
    checkMissingTable();
}
TEST_F(PostgresPickLists, DialogChoices) {
    checkDialogChoices();
}

} // namespace
} // namespace velmora
