// QDesktopServices behind the shell service.
#include "platform/qt/qt_shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include "platform/qt/qt_units.h"

namespace qm::qt {

QUrl documentUrl(const std::string& document) {
    const QString text = qs(document);
    // A scheme of two letters or more, so that nothing like a drive letter counts as one.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    if (!text.startsWith(QLatin1Char('/')) && scheme.match(text).hasMatch()) return QUrl(text);
    // A local path is bytes, as the system gives them, and need not be UTF-8 (a folder named in
    // Shift_JIS, as unzip leaves one): percent-encoded byte for byte, never through a QString.
    QByteArray path = QByteArray::fromStdString(document);
    if (!path.startsWith('/')) path = QFile::encodeName(QDir::currentPath()) + '/' + path;
    return QUrl::fromEncoded("file://" + path.toPercentEncoding("/"));
}

bool QtShell::open(const std::string& document, const std::optional<std::string>&) {
    if (document.empty()) return false;
    return QDesktopServices::openUrl(documentUrl(document));
}

}  // namespace qm::qt
