// The QApplication of a Qt test: Qt's offscreen platform unless QT_QPA_PLATFORM names another.
#pragma once

class QApplication;

namespace qm::qt::test {

QApplication& app();

}  // namespace qm::qt::test
