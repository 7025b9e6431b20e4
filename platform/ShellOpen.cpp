// Detached program start by fork and exec, and shell open through xdg-open.
#include "platform/ShellOpen.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {

IoStatus SpawnDetached(const std::vector<std::string>& argv) {
    if (argv.empty() || argv[0].empty())
        return IoStatus::Fail("no program to start");
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    // The grandchild reports a failed exec through this pipe; a successful exec closes it.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return IoStatus::Fail(std::string("cannot start ") + argv[0] + ": " + std::strerror(errno));
    pid_t child = ::fork();
    if (child < 0) {
        int err = errno;
        ::close(report[0]);
        ::close(report[1]);
        return IoStatus::Fail(std::string("cannot start ") + argv[0] + ": " + std::strerror(err));
    }
    if (child == 0) {
        // The middle process exits at once, so the program is adopted by init and the caller
        // never has to reap it.
        ::close(report[0]);
        ::setsid();
        pid_t grandchild = ::fork();
        if (grandchild < 0) {
            int err = errno;
            (void)!::write(report[1], &err, sizeof err);
            ::_exit(1);
        }
        if (grandchild == 0) {
            ::execvp(args[0], args.data());
            int err = errno;
            (void)!::write(report[1], &err, sizeof err);
            ::_exit(127);
        }
        ::_exit(0);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int err = 0;
    ssize_t n;
    do {
        n = ::read(report[0], &err, sizeof err);
    } while (n < 0 && errno == EINTR);
    ::close(report[0]);
    if (n == static_cast<ssize_t>(sizeof err))
        return IoStatus::Fail(std::string("cannot start ") + argv[0] + ": " + std::strerror(err));
    return IoStatus::Ok();
}

IoStatus ShellOpen(const std::string& target) {
    return SpawnDetached({"xdg-open", target});
}

} // namespace platform
