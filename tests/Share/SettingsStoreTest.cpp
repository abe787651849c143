#include "platform/SettingsStore.h"
#include "Share/GlobalVar.h"
#include "Share/WindowGeometry.h"
#include "TestEnv.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace velmora;

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { configHome = test::freshConfigHome(); }
    void put(const char* name, const QString& value) {
        fnWriteRegString(RootKey::CurrentUser, OptionsKey(state), QString::fromLatin1(name), value);
    }
    QString get(const char* name) const {
        return fnReadRegString(RootKey::CurrentUser, OptionsKey(state), QString::fromLatin1(name));
    }
    SessionState state;
    QString configHome;
};

TEST_F(SettingsStoreTest, StoreFollowsTheProductKeyUnderTheConfigFolder) {
    put("QueryPath", QStringLiteral("/srv/queries"));
    EXPECT_TRUE(QFile::exists(configHome + QStringLiteral("/Kavrin End User/Options.ini")));
    EXPECT_EQ(get("QueryPath"), QStringLiteral("/srv/queries"));
    state.RegistryProductKey = QStringLiteral("Other Product");
    EXPECT_EQ(get("QueryPath"), QString()) << "each call derives the store from the product key";
}

TEST_F(SettingsStoreTest, MissingStoreAndValuesReadEmpty) {
    EXPECT_EQ(get("ReportPath"), QString());
    put("WinTop", QStringLiteral("5"));
    EXPECT_EQ(get("ReportPath"), QString());
}

TEST_F(SettingsStoreTest, ValuesOf256BytesOrMoreReadEmpty) {
    const struct {
        int length;
        bool readsBack;
    } cases[] = {{0, true}, {1, true}, {255, true}, {256, false}, {1000, false}};
    for (const auto& c : cases) {
        const QString value(c.length, QLatin1Char('q'));
        put("QueryPath", value);
        EXPECT_EQ(get("QueryPath"), c.readsBack ? value : QString()) << c.length << " characters";
    }
    // The limit counts bytes: 128 two-byte characters do not fit.
    put("QueryPath", QString(128, QChar(0x00E9)));
    EXPECT_EQ(get("QueryPath"), QString());
    put("QueryPath", QString(127, QChar(0x00E9)));
    EXPECT_EQ(get("QueryPath"), QString(127, QChar(0x00E9)));
}

TEST_F(SettingsStoreTest, ValuesKeepBlanksSeparatorsAndCase) {
    for (const QString& v :
         {QStringLiteral(" a, b ; c "), QStringLiteral("TAB"), QStringLiteral("=x=y"),
          QStringLiteral("C:\\Reports\\x"), QStringLiteral("\"quoted\"")}) {
        put("Delimiter", v);
        EXPECT_EQ(get("Delimiter"), v);
    }
}

TEST_F(SettingsStoreTest, FailedWriteRaisesTheStoreMessage) {
    // A regular file where the store's folder belongs: the folder cannot be created (permission
    // bits would not stop root, this does).
    QFile blocker(configHome + QStringLiteral("/Kavrin End User"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    try {
        put("WinTop", QStringLiteral("1"));
        FAIL() << "the write should have failed";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Error creating system registry entry");
    }
    EXPECT_EQ(get("WinTop"), QString());
}

TEST_F(SettingsStoreTest, GarbageInTheStoreReadsAsMissing) {
    QDir().mkpath(configHome + QStringLiteral("/Kavrin End User"));
    QFile file(configHome + QStringLiteral("/Kavrin End User/Options.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\x01\x02garbage[[[\n=====\n\xff\xfe");
    file.close();
    EXPECT_EQ(get("WinHeight"), QString());
    put("WinHeight", QStringLiteral("600"));
    EXPECT_EQ(get("WinHeight"), QStringLiteral("600"));
}

TEST_F(SettingsStoreTest, WritingOverAStoreTheReaderCannotParseSucceeds) {
    // A line without "=" makes Qt's INI reader report a format error; the write still replaces
    // the file with a readable one.
    QDir().mkpath(configHome + QStringLiteral("/Kavrin End User"));
    QFile file(configHome + QStringLiteral("/Kavrin End User/Options.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a setting\n");
    file.close();
    EXPECT_NO_THROW(put("WinHeight", QStringLiteral("600")));
    EXPECT_EQ(get("WinHeight"), QStringLiteral("600"));
}

struct GeometryCase {
    const char* name;
    std::vector<std::pair<const char*, const char*>> stored;
    WindowGeometry expected;
};

class WindowGeometryTest : public SettingsStoreTest,
                           public ::testing::WithParamInterface<GeometryCase> {};

TEST_P(WindowGeometryTest, StoredValuesAndDefaults) {
    for (const auto& [name, value] : GetParam().stored)
        put(name, QString::fromLatin1(value));
    const WindowGeometry g = fnReadWindowGeometry(state);
    const WindowGeometry& e = GetParam().expected;
    EXPECT_EQ(g.top, e.top);
    EXPECT_EQ(g.left, e.left);
    EXPECT_EQ(g.height, e.height);
    EXPECT_EQ(g.width, e.width);
    EXPECT_EQ(g.state, e.state);
    EXPECT_EQ(g.panelHeight, e.panelHeight);
    EXPECT_EQ(g.folderListWidth, e.folderListWidth);
}

WindowGeometry geometry(int top, int left, int height, int width, int state, int panel, int list) {
    return {top, left, height, width, state, panel, list};
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowGeometryTest,
    ::testing::Values(GeometryCase{"FirstRun", {}, geometry(93, 221, 780, 836, 0, 304, 252)},
                      GeometryCase{"NonNumericHeightIgnored",
                                   {{"WinHeight", "tall"}, {"WinWidth", "900"}, {"WinTop", "10"}},
                                   geometry(10, 221, 780, 900, 0, 304, 252)},
                      GeometryCase{
                          "HexadecimalAndBlanksAccepted",
                          {{"WinLeft", "$20"}, {"WinTop", "  0x10"}, {"PUserHeight", "x40"}},
                          geometry(16, 32, 780, 836, 0, 64, 252)},
                      GeometryCase{"MinimisedAtExitOpensNormal",
                                   {{"WinState", "1"}},
                                   geometry(93, 221, 780, 836, 0, 304, 252)},
                      GeometryCase{"MaximisedAtExitOpensMaximised",
                                   {{"WinState", "2"}, {"Dlb1Width", "300"}},
                                   geometry(93, 221, 780, 836, 2, 304, 300)},
                      GeometryCase{"UnusableStateOpensNormal",
                                   {{"WinState", "max"}},
                                   geometry(93, 221, 780, 836, 0, 304, 252)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsStoreTest, GeometryIsWrittenInItsOrder) {
    const WindowGeometry g = geometry(1, 2, 3, 4, 2, 5, 6);
    fnWriteWindowGeometry(state, g);
    const WindowGeometry back = fnReadWindowGeometry(state);
    EXPECT_EQ(back.top, 1);
    EXPECT_EQ(back.left, 2);
    EXPECT_EQ(back.height, 3);
    EXPECT_EQ(back.width, 4);
    EXPECT_EQ(back.state, 2);
    EXPECT_EQ(back.panelHeight, 5);
    EXPECT_EQ(back.folderListWidth, 6);
    QFile file(configHome + QStringLiteral("/Kavrin End User/Options.ini"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("WinState=2")));
    EXPECT_TRUE(text.contains(QStringLiteral("PUserHeight=5")));
}

} // namespace
