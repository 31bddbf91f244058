// The QApplication of a Qt test: Qt's offscreen platform unless QT_QPA_PLATFORM names another.
#pragma once

#include <QString>
#include <ostream>

class QApplication;

// Test failures show Qt strings as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace qm::qt::test {

QApplication& app();

}  // namespace qm::qt::test
