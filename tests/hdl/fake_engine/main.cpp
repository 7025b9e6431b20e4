// A stand-in for the HDL engine that misbehaves on request, for the runner's outcome tests.
// ZUN_FAKE_ENGINE picks what it does with the output path at the end of its first argument:
//   write  - writes ZUN_FAKE_ENGINE_TEXT there and exits 0
//   echo   - writes one line "[argument]" per argument, the first included
//   nothing - writes nothing and exits with 2, as the real engine does on a bad input
//   crash  - writes half a line, then dies by SIGSEGV
//   sleep  - writes half a line, then sleeps for a minute (the watchdog is expected to end it)
//   fds    - writes one line "number target" per descriptor it was started with
//   fail   - writes ZUN_FAKE_ENGINE_TEXT on standard error, nothing else, and exits with 1
//   quiet  - writes nothing anywhere and exits with 0, as the engine does for a code it ignores
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

bool Write(const std::string& path, const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    const char* modeText = std::getenv("ZUN_FAKE_ENGINE");
    std::string mode = modeText != nullptr ? modeText : "echo";
    std::string first = argc > 1 ? argv[1] : "";
    std::string output = first.size() > 8 ? first.substr(8) : "";

    if (mode == "write") {
        const char* text = std::getenv("ZUN_FAKE_ENGINE_TEXT");
        return Write(output, text != nullptr ? text : "") ? 0 : 4;
    }
    if (mode == "echo") {
        std::string lines;
        for (int i = 1; i < argc; ++i)
            lines += std::string("[") + argv[i] + "]\n";
        return Write(output, lines) ? 0 : 4;
    }
    if (mode == "fds") {
        std::string lines;
        if (DIR* d = opendir("/proc/self/fd")) {
            const int own = dirfd(d);
            while (dirent* e = readdir(d)) {
                if (e->d_name[0] == '.' || std::atoi(e->d_name) == own)
                    continue;
                char target[4096] = {};
                std::string link = std::string("/proc/self/fd/") + e->d_name;
                if (readlink(link.c_str(), target, sizeof target - 1) < 0)
                    continue;
                lines += std::string(e->d_name) + " " + target + "\n";
            }
            closedir(d);
        }
        return Write(output, lines) ? 0 : 4;
    }
    if (mode == "crash") {
        Write(output, "MODULE\tpart");
        // A sanitizer build would catch the signal and exit normally; die for real.
        std::signal(SIGSEGV, SIG_DFL);
        std::raise(SIGSEGV);
        return 0;
    }
    if (mode == "quiet")
        return 0;
    if (mode == "fail") {
        const char* text = std::getenv("ZUN_FAKE_ENGINE_TEXT");
        std::fputs(text != nullptr ? text : "", stderr);
        return 1;
    }
    if (mode == "sleep") {
        Write(output, "MODULE\tpart");
        std::this_thread::sleep_for(std::chrono::minutes(1));
        return 0;
    }
    std::fputs("2\n", stderr);
    return 2;
}
