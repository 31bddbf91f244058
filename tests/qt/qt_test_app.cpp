// One QApplication per test process, made on first use and kept to the end.
#include "tests/qt/qt_test_app.h"

#include <QApplication>

namespace qm::qt::test {

QApplication& app() {
    static QApplication* instance = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "qt-test";
        static char* argv[] = {name, nullptr};
        auto* a = new QApplication(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        return a;
    }();
    return *instance;
}

}  // namespace qm::qt::test
