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

// fontconfig keeps a cache for the life of the process that LeakSanitizer counts as leaked; the
// sanitizer builds read this list.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
