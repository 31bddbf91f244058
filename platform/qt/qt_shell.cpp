// QDesktopServices behind the shell service.
#include "platform/qt/qt_shell.h"

#include <QDesktopServices>
#include <QRegularExpression>

#include "platform/qt/qt_units.h"

namespace qm::qt {

QUrl documentUrl(const std::string& document) {
    const QString text = qs(document);
    // A scheme of two letters or more, so that nothing like a drive letter counts as one.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    if (!text.startsWith(QLatin1Char('/')) && scheme.match(text).hasMatch()) return QUrl(text);
    return QUrl::fromLocalFile(text);
}

bool QtShell::open(const std::string& document, const std::optional<std::string>&) {
    if (document.empty()) return false;
    return QDesktopServices::openUrl(documentUrl(document));
}

}  // namespace qm::qt
