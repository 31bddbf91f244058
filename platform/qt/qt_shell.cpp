// QDesktopServices behind the shell service.
#include "platform/qt/qt_shell.h"

#include <QDesktopServices>
#include <QRegularExpression>

#include "platform/qt/qt_units.h"

namespace qm::qt {

namespace {
constexpr std::intptr_t kOpened = 42;
constexpr std::intptr_t kNotFound = 2;
}  // namespace

QUrl documentUrl(const std::string& document) {
    const QString text = qs(document);
    // A scheme of two letters or more, so that nothing like a drive letter counts as one.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    if (!text.startsWith(QLatin1Char('/')) && scheme.match(text).hasMatch()) return QUrl(text);
    return QUrl::fromLocalFile(text);
}

std::intptr_t QtShell::open(std::uintptr_t, const std::string& verb, const std::string& document,
                            const std::optional<std::string>&, const std::string&, int) {
    if (verb != "open" || document.empty()) return kNotFound;
    return QDesktopServices::openUrl(documentUrl(document)) ? kOpened : kNotFound;
}

}  // namespace qm::qt
