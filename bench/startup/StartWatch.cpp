// Times one start of a windowed program from outside it, as its user sees it: from the moment it
// is spawned to its first top-level window being mapped by the X server, and to the first drawing
// into that window (the X Damage extension reports it). Nothing runs between the spawn and the
// two events but this watcher's wait for the server, so the programs compared are timed alike and
// need no help of their own.
//
//     corvane-startwatch PROGRAM [ARGUMENT...]
//
// Prints "<ms to mapped> <ms to first paint> <VmRSS kB at first paint> <CPU ms of all its
// threads then>" and ends the program. The program's standard input is a pipe that stays open
// (corvane-demo would end at its end), its standard output is dropped. Exit code 1 when no
// window was drawn within 30 seconds.

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <set>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace
{
double NowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

long ResidentKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string strLine; std::getline(status, strLine);)
        if (strLine.rfind("VmRSS:", 0) == 0)
            return std::strtol(strLine.c_str() + 6, nullptr, 10);
    return 0;
}

// Time on the CPU of every thread so far; it tells the program's own work apart from waiting on
// a busy machine.
long CpuMs(pid_t pid)
{
    const std::string strTasks = "/proc/" + std::to_string(pid) + "/task";
    DIR* pDir = opendir(strTasks.c_str());
    if (!pDir)
        return 0;
    unsigned long long nNs = 0;
    while (const dirent* pEntry = readdir(pDir))
    {
        if (pEntry->d_name[0] == '.')
            continue;
        std::ifstream sched(strTasks + "/" + pEntry->d_name + "/schedstat");
        unsigned long long nTaskNs = 0;
        if (sched >> nTaskNs)
            nNs += nTaskNs;
    }
    closedir(pDir);
    return static_cast<long>(nNs / 1000000);
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fputs("usage: corvane-startwatch PROGRAM [ARGUMENT...]\n", stderr);
        return 2;
    }
    xcb_connection_t* pConn = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(pConn))
    {
        std::fputs("corvane-startwatch: cannot connect to the X server\n", stderr);
        return 2;
    }
    const xcb_query_extension_reply_t* pDamage = xcb_get_extension_data(pConn, &xcb_damage_id);
    if (!pDamage || !pDamage->present)
    {
        std::fputs("corvane-startwatch: the X server has no Damage extension\n", stderr);
        return 2;
    }
    free(xcb_damage_query_version_reply(pConn, xcb_damage_query_version(pConn, 1, 1), nullptr));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(pConn)).data->root;
    const uint32_t nMask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    // Checked, so the selection is in force before the program starts.
    if (xcb_generic_error_t* pError =
            xcb_request_check(pConn, xcb_change_window_attributes_checked(pConn, root, XCB_CW_EVENT_MASK, &nMask)))
    {
        std::fputs("corvane-startwatch: cannot watch the root window\n", stderr);
        free(pError);
        return 2;
    }

    int fdsInput[2];
    if (pipe2(fdsInput, O_CLOEXEC) != 0)
        return 2;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fdsInput[0], STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const double dStart = NowMs();
    if (posix_spawn(&pid, argv[1], &actions, nullptr, argv + 1, environ) != 0)
    {
        std::fprintf(stderr, "corvane-startwatch: cannot start %s\n", argv[1]);
        return 2;
    }
    close(fdsInput[0]);

    // Every top-level window the program creates gets a damage watch at once; the first one to be
    // mapped is its window, and its first damage after that is its first paint.
    std::set<xcb_window_t> setCreated;
    xcb_window_t mapped = XCB_NONE;
    double dMapped = -1, dPainted = -1;
    const int nFirstDamageEvent = pDamage->first_event + XCB_DAMAGE_NOTIFY;
    while (dPainted < 0 && NowMs() - dStart < 30000)
    {
        xcb_generic_event_t* pEvent = xcb_poll_for_event(pConn);
        if (!pEvent)
        {
            if (xcb_connection_has_error(pConn))
                break;
            pollfd fd{xcb_get_file_descriptor(pConn), POLLIN, 0};
            poll(&fd, 1, 100);
            continue;
        }
        const double dNow = NowMs();
        const int nType = pEvent->response_type & 0x7f;
        if (nType == XCB_CREATE_NOTIFY)
        {
            const auto* pCreate = reinterpret_cast<xcb_create_notify_event_t*>(pEvent);
            setCreated.insert(pCreate->window);
            xcb_damage_create(pConn, xcb_generate_id(pConn), pCreate->window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
            xcb_flush(pConn);
        }
        else if (nType == XCB_MAP_NOTIFY && mapped == XCB_NONE)
        {
            const auto* pMap = reinterpret_cast<xcb_map_notify_event_t*>(pEvent);
            if (setCreated.count(pMap->window) && !pMap->override_redirect)
            {
                mapped = pMap->window;
                dMapped = dNow;
            }
        }
        else if (nType == nFirstDamageEvent && mapped != XCB_NONE)
        {
            const auto* pNotify = reinterpret_cast<xcb_damage_notify_event_t*>(pEvent);
            if (pNotify->drawable == mapped)
                dPainted = dNow;
        }
        free(pEvent);
    }

    const long nRssKb = ResidentKb(pid);
    const long nCpuMs = CpuMs(pid);
    kill(pid, SIGTERM);
    close(fdsInput[1]);
    int nStatus = 0;
    while (waitpid(pid, &nStatus, 0) < 0 && errno == EINTR)
    {
    }
    xcb_disconnect(pConn);
    if (dPainted < 0)
    {
        std::fprintf(stderr, "corvane-startwatch: no window drawn by %s\n", argv[1]);
        return 1;
    }
    std::printf("%.3f %.3f %ld %ld\n", dMapped - dStart, dPainted - dStart, nRssKb, nCpuMs);
    return 0;
}
