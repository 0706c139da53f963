// The user the tests run servers and programs as that refuse root.
#pragma once

#include <pwd.h>
#include <sys/types.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace vyla::testing {

// Who runs what will not run as root (the X screen-saver daemon runs no
// hack as root; lintian warns when it is): "nobody" when the tests run as
// root, anyone else as themselves.
struct UnprivilegedUser {
    std::vector<std::string> prefix;  // the command that drops to the user
    uid_t uid = 0;
    gid_t gid = 0;

    static UnprivilegedUser Choose()
    {
        UnprivilegedUser user{{}, getuid(), getgid()};
        if (geteuid() != 0)
            return user;
        const passwd* nobody = getpwnam("nobody");
        if (!nobody)
            return user;
        user.uid = nobody->pw_uid;
        user.gid = nobody->pw_gid;
        user.prefix = {"setpriv", "--reuid=" + std::to_string(user.uid), "--regid=" + std::to_string(user.gid),
                       "--clear-groups"};
        return user;
    }

    // Hands dir and everything under it to the user, who may not reach the
    // build tree or a root-only temporary directory otherwise.
    bool Own(const std::filesystem::path& dir) const
    {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
            if (lchown(entry.path().c_str(), uid, gid) != 0)
                return false;
        return lchown(dir.c_str(), uid, gid) == 0;
    }
};

}  // namespace vyla::testing
