// Writing the application menu's entry and its icons.
#include "platform/linux/xdg_menu_entry.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include "platform/linux/xdg_autostart.h"

namespace qm::linux_desktop {

namespace {

// The icon's name in the theme, and the sizes of it the theme's folders take.
constexpr const char* kIconName = "quietusmachine";
constexpr int kIconSizes[] = {16, 24, 32, 48, 64};

bool writeFile(const QString& path, const QByteArray& bytes) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

}  // namespace

QString dataHome() {
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty() || !QDir::isAbsolutePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return data;
}

std::string menuEntry(const std::string& programPath) {
    return desktopEntry("QuietusMachine", programPath) +
           "Comment=決めた時刻にシャットダウン・強制終了・再起動・ログオフします\n"
           "Icon=" +
           kIconName +
           "\n"
           "Categories=Utility;\n";
}

bool fitsExec(const std::string& programPath) {
    // Bytes that are not UTF-8 come back from QString changed.
    const QByteArray bytes = QByteArray::fromStdString(programPath);
    return !bytes.isEmpty() && QString::fromUtf8(bytes).toUtf8() == bytes;
}

MenuEntryFiles installMenuEntry(const std::string& programPath) {
    MenuEntryFiles out;
    const auto write = [&out](const QString& path, const QByteArray& bytes) {
        if (!out.failed.isEmpty()) return;
        if (writeFile(path, bytes)) {
            out.written << path;
        } else {
            out.failed = path;
        }
    };
    write(dataHome() + QStringLiteral("/applications/QuietusMachine.desktop"),
          QByteArray::fromStdString(menuEntry(programPath)));
    for (int size : kIconSizes) {
        QFile icon(QStringLiteral(":/icons/running-%1.png").arg(size));
        const QByteArray bytes = icon.open(QIODevice::ReadOnly) ? icon.readAll() : QByteArray();
        write(dataHome() + QStringLiteral("/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kIconName),
              bytes);
    }
    return out;
}

}  // namespace qm::linux_desktop
