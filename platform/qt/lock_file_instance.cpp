// QLockFile behind the single-instance service.
#include "platform/qt/lock_file_instance.h"

#include <unistd.h>

#include <QDir>
#include <QLockFile>

namespace qm::qt {

LockFileInstance::LockFileInstance() : LockFileInstance(defaultPath()) {}
LockFileInstance::LockFileInstance(QString path) : path_(std::move(path)) {}
LockFileInstance::~LockFileInstance() = default;

QString LockFileInstance::defaultPath() {
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::tempPath();
    return folder + QStringLiteral("/QuietusMachine-%1.lock").arg(getuid());
}

bool LockFileInstance::anotherRunning() {
    if (!answer_) {
        lock_ = std::make_unique<QLockFile>(path_);
        // Only a dead owner makes a lock stale, never its age: the clock may be set back or on.
        lock_->setStaleLockTime(0);
        // Held for the life of the process; a lock left by a copy that died is taken over.
        answer_ = !lock_->tryLock(0);
    }
    return *answer_;
}

}  // namespace qm::qt
