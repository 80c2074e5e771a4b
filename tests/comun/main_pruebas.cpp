// Test main: a QApplication exists only when tests run, not when ctest lists them.
#include <gtest/gtest.h>

#include "platform/UsoDeArchivo.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>
#include <algorithm>
#include <cstring>
#include <memory>

int main(int argc, char **argv)
{
    const bool listando =
        std::any_of(argv + 1, argv + argc, [](const char *a) { return std::strncmp(a, "--gtest_list_tests", 18) == 0; });
    ::testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<QApplication> app;
    if (!listando) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(QApplication::style()->standardPalette());
    }
    // However loaded the machine, a child that works on files answers in
    // time; the tests of a disk that does not answer set their own wait.
    EsperaDelHijoMs = 120000;
    return RUN_ALL_TESTS();
}
