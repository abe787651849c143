#include "TestEnv.h"
#include "app/TAbout.h"
#include "app/TDirectoryList.h"
#include "app/TFileList.h"
#include "app/TQueryExport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velmora;

namespace {

struct NullLog : EventLog {
    QStringList texts;
    void write(const QString&, const QString& text) override { texts << text; }
};
struct NullDesktop : Desktop {
    bool open(const QString&) override { return true; }
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::freshConfigHome();
        folder = test::freshDir(QStringLiteral("browse"));
        QDir(folder).mkpath(QStringLiteral("sub"));
        for (const char* name : {"report.kvf", "notes.txt", "Alpha.kvf"}) {
            QFile f(folder + QLatin1Char('/') + QString::fromLatin1(name));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
        QDir::setCurrent(folder);
        window = std::make_unique<TQueryExport>(state, log, desktop);
        window->attach(dm, Dialogs{});
    }

    QStringList fileNames() const {
        QStringList out;
        for (int i = 0; i < window->fileList()->count(); ++i)
            out << window->fileList()->item(i)->text();
        return out;
    }

    SessionState state;
    NullLog log;
    NullDesktop desktop;
    Tdm1 dm;
    std::unique_ptr<TQueryExport> window;
    QString folder;
};

TEST_F(MainWindowTest, StartsInTheCurrentFolderShowingQueryFilesWithoutExtension) {
    EXPECT_EQ(window->folder(), folder);
    EXPECT_EQ(window->pathEdit()->text(), folder);
    EXPECT_EQ(fileNames(), (QStringList{QStringLiteral("Alpha"), QStringLiteral("report")}));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Velmora"));
    EXPECT_EQ(window->size(), QSize(836, 780));
    EXPECT_EQ(window->selectedQueryPath(), QStringLiteral(".kvf"));
}

TEST_F(MainWindowTest, PathEditMovesTheListsAndIgnoresAMissingFolderSilently) {
    window->pathEdit()->setText(folder + QStringLiteral("/sub"));
    QTest::keyClick(window->pathEdit(), Qt::Key_Return);
    EXPECT_EQ(window->folder(), folder + QStringLiteral("/sub"));
    EXPECT_EQ(QDir::currentPath(), folder + QStringLiteral("/sub"));
    EXPECT_TRUE(fileNames().isEmpty());
    window->pathEdit()->setText(QStringLiteral("/no/such/folder"));
    QTest::keyClick(window->pathEdit(), Qt::Key_Return);
    EXPECT_EQ(window->folder(), folder + QStringLiteral("/sub"));
    EXPECT_TRUE(log.texts.isEmpty());
}

TEST_F(MainWindowTest, OneMissingArgumentShowsTheBoxAndTheWindowGoesOn) {
    QString text;
    QTimer timer;
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            text = box->text();
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Velmora (End User Module)"));
            box->done(QMessageBox::Ok);
        }
    });
    timer.start();
    window->FormShow({QStringLiteral("  missing.KVF ")});
    EXPECT_EQ(text, QStringLiteral("Error - Query file: \"missing.KVF\" not found."));
    EXPECT_FALSE(window->ending());
}

TEST_F(MainWindowTest, ExitWritesTheFolderAndGeometry) {
    window->setFolder(folder + QStringLiteral("/sub"));
    window->FormDestroy();
    QFile ini(qEnvironmentVariable("XDG_CONFIG_HOME") +
              QStringLiteral("/Kavrin End User/Options.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(ini.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("QueryPath=") + folder + QStringLiteral("/sub")));
    EXPECT_TRUE(text.contains(QStringLiteral("PUserHeight=304")));
    EXPECT_TRUE(text.contains(QStringLiteral("Dlb1Width=252")));
    EXPECT_TRUE(text.contains(QStringLiteral("WinState=0")));
}

TEST(About, ShowsTheTitleLineWithTheVersion) {
    TAbout about(QStringLiteral(" Ver 1.0.3."), nullptr);
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Velmora"));
    EXPECT_EQ(about.titleLine(), QStringLiteral("Velmora - End User Module  Ver 1.0.3."));
}

} // namespace
