// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/app/internal/display_loss.h"

#include <cstdlib>

#include "engine/core/engine_signals.h"
#include "engine/file/file_system.h"
#include "engine/file/log.h"

#if defined(__linux__)
#include <dlfcn.h>
#endif

namespace pentavel {
namespace internal {

#if defined(__linux__)
namespace {

// Xlib's own handler for a broken connection calls exit(), and the exit handlers then shut SDL down by
// talking to the vanished server, which never answers: the process would spin invisibly for ever. Only
// the player's files are saved here, then the process ends at once. The quit request comes first, so that
// its slots (the game in play entering the high scores) write their files too; none of them draws.
int onDisplayLost(void*) {
    logError("Lost the connection to the display!");
    quitSignal().emit();
    file::shutDownFileSystem();
    std::_Exit(1);
}

using IoErrorHandler = int (*)(void*);
using SetIoErrorHandler = IoErrorHandler (*)(IoErrorHandler);

}  // namespace

void guardAgainstDisplayLoss() {
    // SDL loads the X library at run time; take it only when it is already there.
    void* xlib = dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
    if (xlib == nullptr)
        return;
    auto setHandler = reinterpret_cast<SetIoErrorHandler>(dlsym(xlib, "XSetIOErrorHandler"));
    if (setHandler != nullptr)
        setHandler(&onDisplayLost);
    dlclose(xlib);
}

#else

void guardAgainstDisplayLoss() {}

#endif

}  // namespace internal
}  // namespace pentavel
