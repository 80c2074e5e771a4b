// Test main: a QApplication exists only when tests run, not when ctest lists them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>
#include <cstring>
#include <memory>

int main(int argc, char **argv)
{
    bool listando = false;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--gtest_list_tests", 18) == 0)
            listando = true;
    ::testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<QApplication> app;
    if (!listando) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(QApplication::style()->standardPalette());
    }
    return RUN_ALL_TESTS();
}
