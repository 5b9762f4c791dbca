// mapwait: starts a program, waits until it maps its first window on the X
// display, and then prints, for that moment: the time since the start in
// microseconds, the processor time of all its threads in microseconds
// (/proc/PID/task/*/schedstat) and its peak resident memory in kilobytes
// (VmHWM). Then it ends the program (SIGTERM) and waits for it. Exact to
// the event, where polling for the window would add its own period.
//
//   mapwait PROGRAM [ARG ...]
#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

long long CpuMicroseconds(pid_t pid)
{
    const std::string folder = "/proc/" + std::to_string(pid) + "/task";
    DIR* tasks = opendir(folder.c_str());
    if (tasks == nullptr)
        return -1;
    long long nanoseconds = 0;
    while (const dirent* task = readdir(tasks)) {
        if (task->d_name[0] == '.')
            continue;
        if (FILE* f = std::fopen((folder + "/" + task->d_name + "/schedstat").c_str(), "r")) {
            long long onCpu = 0;
            if (std::fscanf(f, "%lld", &onCpu) == 1)
                nanoseconds += onCpu;
            std::fclose(f);
        }
    }
    closedir(tasks);
    return nanoseconds / 1000;
}

long PeakKilobytes(pid_t pid)
{
    FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/status").c_str(), "r");
    if (f == nullptr)
        return -1;
    long kilobytes = -1;
    char line[256];
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, "VmHWM:", 6) == 0)
            kilobytes = std::strtol(line + 6, nullptr, 10);
    std::fclose(f);
    return kilobytes;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: mapwait PROGRAM [ARG ...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "mapwait: no X display\n");
        return 2;
    }
    // Every window mapped on the root window is reported to us.
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        close(ConnectionNumber(display));
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && !event.xmap.override_redirect)
            break;
    }
    const auto wall = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    const long long cpu = CpuMicroseconds(pid);
    const long peak = PeakKilobytes(pid);
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    XCloseDisplay(display);
    std::printf("%lld %lld %ld\n", static_cast<long long>(wall.count()), cpu, peak);
    return 0;
}
