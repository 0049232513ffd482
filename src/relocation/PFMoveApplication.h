#pragma once

#include <string>

#include "ports/Alerts.h"
#include "ports/Application.h"
#include "ports/Authorization.h"
#include "ports/Bundle.h"
#include "ports/Defaults.h"
#include "ports/FileSystem.h"
#include "ports/HostPaths.h"
#include "ports/Locale.h"
#include "ports/Log.h"
#include "ports/MountTable.h"
#include "ports/Processes.h"
#include "ports/TrashFolder.h"

namespace lexoria {

// Everything the move into the Applications folder touches on the host.
struct MoveApplicationHost {
    Defaults& defaults;
    Bundle& bundle;  // the strings table "MoveApplication"
    Locale& locale;
    HostPaths& paths;
    FileSystem& files;
    MountTable& mounts;
    Processes& processes;
    Authorization& authorization;
    TrashFolder& trash;
    Alerts& alerts;
    Application& application;
    Log& log;
};

inline constexpr const char* kAlertSuppressKey = "moveToApplicationsFolderAlertSuppress";

// Offers to move the running bundle into an Applications folder when it runs from
// anywhere else; on a move, starts the copy once this process is gone and ends this
// process with status 0. Returns when there is nothing to do, the user declines or
// cancels, or the move failed (after telling the user).
void PFMoveToApplicationsFolderIfNecessary(const MoveApplicationHost& host);

// Moves the item to the Trash; logs and answers false when it cannot.
bool Trash(const std::string& path, const MoveApplicationHost& host);

// Replaces `destinationPath` by a copy of `sourcePath` with the administrator's rights.
// `canceled` tells whether the user dismissed the password prompt.
bool AuthorizedInstall(const std::string& sourcePath, const std::string& destinationPath,
                       bool& canceled, const MoveApplicationHost& host);

// The path as one word for /bin/sh, whatever it contains.
std::string shellQuotedString(const std::string& path);

}  // namespace lexoria
