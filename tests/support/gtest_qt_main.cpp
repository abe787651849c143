// GoogleTest main for every test program: a QApplication exists (widget tests need one, the
// offscreen platform is set by CTest), and the per-process XDG folders are made first.
#include "TestEnv.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    velmora::test::tempRoot();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora (End User Module)"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
