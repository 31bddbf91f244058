// One running copy per user: a lock file in $XDG_RUNTIME_DIR (the temporary folder when that is
// not set), named for the user. A copy that died leaves a stale lock that the next start takes over.
#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "platform/single_instance.h"

class QLockFile;

namespace qm::linux_desktop {

class LockFileInstance final : public SingleInstance {
public:
    LockFileInstance();  // the per-user lock file
    explicit LockFileInstance(QString path);
    ~LockFileInstance() override;

    bool anotherRunning() override;
    const QString& path() const { return path_; }

    static QString defaultPath();

private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
    std::optional<bool> answer_;
};

}  // namespace qm::linux_desktop
