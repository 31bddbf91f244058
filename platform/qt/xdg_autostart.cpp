// Writing the XDG autostart entry.
#include "platform/qt/xdg_autostart.h"

#include <QDir>
#include <QSaveFile>
#include <QtGlobal>

namespace qm::qt {

std::string execValue(const std::string& path) {
    // First the quoting rule of Exec, then the escapes of every string value on top of it.
    std::string quoted = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        if (c == '%') quoted += '%';  // a literal percent sign is written twice
        quoted += c;
    }
    quoted += '"';
    std::string out;
    for (char c : quoted) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string desktopEntry(const std::string& name, const std::string& programPath) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" +
           name +
           "\n"
           "Exec=" +
           execValue(programPath) +
           "\n"
           "Terminal=false\n";
}

std::string autostartFolder() {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return (config + QStringLiteral("/autostart")).toStdString();
}

int XdgAutostart::create(const std::string&, const std::string& name, const std::string&,
                         const std::string&) {
    const QString folder = QString::fromStdString(autostartFolder());
    if (!QDir().mkpath(folder)) return 0;
    QSaveFile file(folder + QLatin1Char('/') + QString::fromStdString(name) + QStringLiteral(".desktop"));
    if (!file.open(QIODevice::WriteOnly)) return 0;
    const std::string entry = desktopEntry(name, programFolder_ + "/quietus");
    file.write(entry.data(), static_cast<qint64>(entry.size()));
    return file.commit() ? 1 : 0;
}

}  // namespace qm::qt
