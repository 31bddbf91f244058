// Every OS service the program uses, gathered for start-up. One implementation per OS and a
// recording fake for tests.
#pragma once

#include "platform/clock.h"
#include "platform/control_channel.h"
#include "platform/file_system.h"
#include "platform/folder_watcher.h"
#include "platform/idle_source.h"
#include "platform/process_watch.h"
#include "platform/program_folder.h"
#include "platform/session_end.h"
#include "platform/shell.h"
#include "platform/single_instance.h"
#include "platform/startup_shortcut.h"
#include "platform/text_codec.h"
#include "platform/tray_icon.h"

namespace qm {

struct Services {
    Clock& clock;
    TextCodec& codec;
    FileSystem& files;
    ProgramFolder folder;
    SessionEnd& session;
    TrayIcon& tray;
    Shell& shell;
    StartupShortcut& shortcut;
    SingleInstance& instance;
    FolderWatcher& watcher;
    ControlChannel& control;
    IdleSource& idle;
    ProcessWatch& processes;
};

}  // namespace qm
