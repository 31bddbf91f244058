// Writing the XDG autostart entry.
#include "platform/qt/xdg_autostart.h"

#include <QDir>
#include <QSaveFile>
#include <QtGlobal>

namespace qm::qt {

namespace {

// One argument of Exec, in the double quotes of its quoting rule.
std::string quotedArgument(const std::string& argument) {
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        if (c == '%') quoted += '%';  // a literal percent sign is written twice
        quoted += c;
    }
    return quoted + '"';
}

}  // namespace

std::string execValue(const std::string& path) {
    // GLib looks for the program named first before it turns "%%" back into "%", so a path with
    // a percent sign cannot come first: a shell that starts it comes first instead, and the path
    // follows as an argument, which every desktop expands alike.
    const std::string command = path.find('%') == std::string::npos
                                    ? quotedArgument(path)
                                    : "/bin/sh -c " + quotedArgument("exec \"$0\"") + " " + quotedArgument(path);
    // Then the escapes of every string value on top of it.
    std::string out;
    for (char c : command) {
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
