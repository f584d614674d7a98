// Start-up to the first presented frame: the time from starting the program
// (fork and exec, so the loading of every shared library counts) through the
// game's own start-up (configuration, archives, SDL, screen, sound, every
// image, high scores) to the logo's first frame on the display. The program
// runs itself as the game would start, once per run; the child runs on the
// virtual clock, so the frame pacer does not wait after that frame, and
// stops right there. Medians of 21 runs on SDL's dummy video driver and,
// when DISPLAY names one, on the X display, in wall time and in the CPU time
// the child used (steadier on a busy machine). Sound goes to SDL's dummy
// driver.
// Run it from the build folder, which holds data/.
//
//   bench_startup [runs]
#include "machine.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "app/startup.h"
#include "sys/clock.h"
#include "video/fps.h"

namespace {

int report_fd = -1;  // the child's end of the pipe to the parent

double now_ms()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

// The child's frame boundary: the first frame is on the display.
void first_frame()
{
    double t = now_ms();
    if (write(report_fd, &t, sizeof t) != sizeof t)
        _exit(1);
    _exit(0);
}

int child(int fd)
{
    report_fd = fd;
    sys_use_virtual_clock(true);
    fps_frame_hook = first_frame;
    char name[] = "zarn";
    char* argv[] = {name, nullptr};
    start_up(1, argv);
    return 1;  // no frame was shown
}

// Milliseconds from fork to the child's first frame, or a negative number;
// the child's CPU milliseconds in *cpu.
double one_run(const char* self, const char* video, double* cpu)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    double start = now_ms();
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        setenv("SDL_VIDEODRIVER", video, 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        char fd_text[16];
        snprintf(fd_text, sizeof fd_text, "%d", fds[1]);
        execl(self, self, "--child", fd_text, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    double shown = -1;
    if (read(fds[0], &shown, sizeof shown) != sizeof shown)
        shown = -1;
    close(fds[0]);
    int status = 0;
    rusage use{};
    wait4(pid, &status, 0, &use);
    *cpu = (use.ru_utime.tv_sec + use.ru_stime.tv_sec) * 1000.0 +
           (use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1000.0;
    return shown < 0 ? -1 : shown - start;
}

void measure(const char* self, const char* video, int runs)
{
    std::vector<double> ms, cpu_ms;
    for (int i = 0; i < runs; i++) {
        double cpu = 0;
        double t = one_run(self, video, &cpu);
        if (t < 0) {
            printf("%-8s no frame was shown\n", video);
            return;
        }
        ms.push_back(t);
        cpu_ms.push_back(cpu);
    }
    std::sort(ms.begin(), ms.end());
    std::sort(cpu_ms.begin(), cpu_ms.end());
    printf("%-8s %10.1f %10.1f %10.1f %10.1f\n", video, ms[ms.size() / 2], ms.front(), ms.back(),
           cpu_ms[cpu_ms.size() / 2]);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && strcmp(argv[1], "--child") == 0)
        return child(atoi(argv[2]));
    int runs = argc >= 2 ? atoi(argv[1]) : 21;
    if (runs < 1)
        return 2;
    printf("%s\n", machine_processor().c_str());
    printf("start-up to the first presented frame, ms over %d runs\n", runs);
    printf("%-8s %10s %10s %10s %10s\n", "video", "median", "fastest", "slowest", "cpu median");
    measure("/proc/self/exe", "dummy", runs);
    const char* display = getenv("DISPLAY");
    if (display && *display)
        measure("/proc/self/exe", "x11", runs);
    else
        printf("x11      skipped, no DISPLAY\n");
    return 0;
}
