// The subcommands of `lockwell`; each returns the exit status.  The
// positional arguments have been counted against the command's usage.
#pragma once

#include "cli/Session.h"

namespace lockwell {

int RunCreate(Session& session);
int RunInfo(Session& session);
int RunList(Session& session);
int RunShow(Session& session);
int RunFind(Session& session);
int RunAdd(Session& session);
int RunEdit(Session& session);
int RunRemove(Session& session);
int RunMove(Session& session);
int RunCategory(Session& session);
int RunPasswd(Session& session);
int RunExport(Session& session);
int RunImport(Session& session);
int RunCheck(Session& session);

}  // namespace lockwell
