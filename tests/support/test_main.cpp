#include <gtest/gtest.h>
#include <QApplication>

#include <vector>

// Every test binary runs inside a Qt application so that SQL driver plugins load and widgets
// can be created offscreen, unless the run names a platform of its own.
int main(int argc, char** argv) {
    std::vector<char*> qtArguments(argv, argv + argc);
    char platformOption[] = "-platform";
    char offscreen[] = "offscreen";
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qtArguments.insert(qtArguments.begin() + 1, {platformOption, offscreen});
    }
    qtArguments.push_back(nullptr);
    int qtArgc = static_cast<int>(qtArguments.size()) - 1;
    QApplication app(qtArgc, qtArguments.data());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
