// The trace file: opened on first use, each line flushed at once so that a reader sees it live.
#include "platform/qt/qt_trace.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>

namespace qm::qt {

namespace {

struct TraceFile {
    QFile file;
    QElapsedTimer since;
    TraceFile() : file(qEnvironmentVariable("QM_UI_TRACE")) {
        if (!file.fileName().isEmpty()) file.open(QIODevice::Append | QIODevice::Text);
        since.start();
    }
};

TraceFile& traceFile() {
    static TraceFile instance;
    return instance;
}

}  // namespace

bool tracing() {
    return traceFile().file.isOpen();
}

void trace(const QString& what) {
    TraceFile& t = traceFile();
    if (!t.file.isOpen()) return;
    const QString line = QStringLiteral("%1 %2 %3\n")
                             .arg(QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss")))
                             .arg(t.since.elapsed())
                             .arg(what);
    t.file.write(line.toUtf8());
    t.file.flush();
}

}  // namespace qm::qt
