#include "HelpTestSupport.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

std::vector<TestFactory>& RegisteredTests() {
    static std::vector<TestFactory> tests;
    return tests;
}

int main(int argc, char** argv) {
    QTemporaryDir userConfig;
    qputenv("XDG_CONFIG_HOME", userConfig.path().toLocal8Bit());
    QApplication app(argc, argv);
    int failures = 0;
    for (const TestFactory& factory : RegisteredTests()) {
        std::unique_ptr<QObject> test(factory());
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
