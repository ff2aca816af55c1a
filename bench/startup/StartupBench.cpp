// Start-up time: from just before the process is spawned to the end of
// its first present, for the program (through the same constructor and
// first loop pass as main) and for a bare window with the same settings.
// The probes stamp the moment on the shared monotonic clock; the launcher
// subtracts its spawn time, so exec, the dynamic loader and static
// initialisers are all counted. A third case times only the making and
// starting of the music stream inside a fresh process.
//
// Usage: bench_startup [benchmark flags] <program probe> <bare probe>
//        <folder with resources/> <width> <height> <antialiasing level>
#include "bench/startup/Stamp.h"

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Config {
    std::string programProbe, bareProbe;
    std::vector<std::string> bareArgs;
};
Config config;

struct Run {
    bool ok = false;
    long long spawned = 0;
    // User and system time of the whole process, all its threads.
    double cpuMilliseconds = 0;
    std::map<std::string, long long> stamps;
};

// Spawns argv with its standard output on a pipe, collects the stamped
// lines and waits for the process to end.
Run spawnAndRead(const std::vector<std::string>& args) {
    Run run;
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    run.spawned = monotonicNanoseconds();
    int spawnError = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawnError != 0) {
        close(pipeFds[0]);
        return run;
    }
    std::string output;
    char buffer[4096];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, static_cast<size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.cpuMilliseconds = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                          (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        size_t space = line.find(' ');
        if (space == std::string::npos)
            continue;
        char* rest = nullptr;
        long long value = std::strtoll(line.c_str() + space + 1, &rest, 10);
        if (rest && *rest == '\0')
            run.stamps[line.substr(0, space)] = value;
    }
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!run.ok)
        std::cerr << "start-up probe " << args[0] << " failed:\n" << output;
    return run;
}

double milliseconds(long long from, long long to) {
    return (to - from) / 1e6;
}

// One start per iteration; the time is spawn to the end of the first present.
void timeStart(benchmark::State& state, const std::vector<std::string>& args) {
    for (auto _ : state) {
        Run run = spawnAndRead(args);
        if (!run.ok || !run.stamps.count("presented")) {
            state.SkipWithError("the probe did not present a frame");
            break;
        }
        state.SetIterationTime((run.stamps["presented"] - run.spawned) / 1e9);
        state.counters["to_main_ms"] = milliseconds(run.spawned, run.stamps["main"]);
        state.counters["setup_ms"] = milliseconds(run.stamps["main"], run.stamps["constructed"]);
        state.counters["first_frame_ms"] =
            milliseconds(run.stamps["constructed"], run.stamps["presented"]);
        // The whole run's CPU, exit included: less disturbed by other load.
        state.counters["cpu_ms"] = run.cpuMilliseconds;
    }
}

void StartProgram(benchmark::State& state) {
    timeStart(state, {config.programProbe});
}

void StartBareWindow(benchmark::State& state) {
    std::vector<std::string> args{config.bareProbe};
    args.insert(args.end(), config.bareArgs.begin(), config.bareArgs.end());
    timeStart(state, args);
}

void StartMusic(benchmark::State& state) {
    for (auto _ : state) {
        Run run = spawnAndRead({config.programProbe, "music"});
        if (!run.ok || !run.stamps.count("music")) {
            state.SkipWithError("the music did not start");
            break;
        }
        state.SetIterationTime((run.stamps["music"] - run.stamps["main"]) / 1e9);
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (argc != 7) {
        std::cerr << "usage: bench_startup [benchmark flags] <program probe> <bare probe> "
                     "<folder with resources/> <width> <height> <aa level>\n";
        return 2;
    }
    config.programProbe = argv[1];
    config.bareProbe = argv[2];
    config.bareArgs = {argv[4], argv[5], argv[6]};
    if (chdir(argv[3]) != 0) {
        std::cerr << "bench_startup: cannot enter " << argv[3] << "\n";
        return 2;
    }
    for (auto [name, fn] :
         {std::pair{"StartProgram", StartProgram}, std::pair{"StartBareWindow", StartBareWindow},
          std::pair{"StartMusic", StartMusic}})
        benchmark::RegisterBenchmark(name, fn)->UseManualTime()->Iterations(1)->Unit(
            benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
