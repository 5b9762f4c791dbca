// Starting the window program from mirvo-today on Linux: posix_spawn in a
// session of its own.
#include "terminal/todaynotify.h"

#include "base/error.h"
#include "base/stringtable.h"
#include "base/systemerror.h"

#include <cstring>
#include <spawn.h>

extern char** environ;

namespace mirvo {

void StartDetached(const std::vector<std::string>& command)
{
    std::vector<char*> argv;
    for (const std::string& a : command)
        argv.push_back(const_cast<char*>(a.c_str()));  // posix_spawn does not change them
    argv.push_back(nullptr);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // A session of its own: the window stays when this program, or the
    // session that started it at login, ends.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t child = 0;
    const int r = posix_spawn(&child, argv[0], nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (r != 0)
        throw koyomi::EMirvoError(koyomi::FormatMessage(LoadStr(kMsgWindowNotStarted), command.front()) + " ("
                                  + SystemErrorText(r) + ")");
}

} // namespace mirvo
