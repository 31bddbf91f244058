// quietus: the Linux desktop program. Builds the Qt application, the real services and the Qt back
// end, starts the program and runs the event loop until the program ends.
#include <QApplication>
#include <QCoreApplication>

#include "app/program.h"
#include "platform/os_services.h"
#include "platform/qt/dbus_session_end.h"
#include "platform/qt/lock_file_instance.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/qt_shell.h"
#include "platform/qt/qt_tray_icon.h"
#include "platform/qt/xdg_autostart.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QuietusMachine"));
    // The program lives in the tray: closing its last window does not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    qm::qt::QtBackend backend;
    qm::ui::Runtime runtime(backend);
    backend.attach(runtime);

    const qm::ProgramFolder folder{QCoreApplication::applicationDirPath().toStdString(), '/'};
    auto clock = qm::makeSystemClock();
    auto codec = qm::makeShiftJisCodec();
    auto files = qm::makeFileSystem();
    qm::qt::DbusSessionEnd session;
    qm::qt::QtTrayIcon tray;
    qm::qt::QtShell shell;
    qm::qt::XdgAutostart shortcut(folder.folder);
    qm::qt::LockFileInstance instance;
    qm::Services services{*clock, *codec, *files, folder, session, tray, shell, shortcut, instance};

    qm::Program program(runtime, services);
    program.start();
    return backend.exec();
}
