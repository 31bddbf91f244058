// QLockFile behind the single-instance service.
#include "platform/linux/lock_file_instance.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLockFile>

namespace qm::linux_desktop {

LockFileInstance::LockFileInstance() : LockFileInstance(defaultPath()) {}
LockFileInstance::LockFileInstance(QString path) : path_(std::move(path)) {}
LockFileInstance::~LockFileInstance() = default;

QString LockFileInstance::defaultPath() {
    // A folder only this user can write to: in the shared temporary folder another user could
    // plant a link under the lock's name and keep the program from ever starting.
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QDir(folder).exists()) {
        QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
        if (cache.isEmpty() || !QDir::isAbsolutePath(cache)) cache = QDir::homePath() + QStringLiteral("/.cache");
        folder = cache + QStringLiteral("/QuietusMachine");
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
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

}  // namespace qm::linux_desktop
