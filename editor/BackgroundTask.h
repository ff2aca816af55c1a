#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

// How far a piece of background work is, and whether it was asked to stop.
// The work writes the fraction and reads the flag; the main thread reads
// the fraction and may set the flag. Lock-free both ways.
class TaskProgress {
public:
    // Records that `fraction` (0 to 1; clamped) of the work is done.
    void set(double fraction);
    double fraction() const { return fraction_.load(); }
    // Asks the work to stop at its next look.
    void cancel() { cancelled_.store(true); }
    // Whether the work should stop now (it then returns what it has).
    bool cancelled() const { return cancelled_.load(); }
    // Back to nothing done and not cancelled, for the next work.
    void reset();

private:
    std::atomic<double> fraction_{0};
    std::atomic<bool> cancelled_{false};
};

// Work that runs off the main thread while the window stays responsive (an
// import, a render). The work gets a TaskProgress and returns what the main
// thread must do with its result (put an animation in place, say what was
// written); poll() runs that on the main thread once the work has ended, so
// the work itself never touches the editor. One task at a time; the
// destructor asks a running task to stop and waits for it.
class BackgroundTask {
public:
    // Runs on the main thread after the work has ended.
    using Finish = std::function<void()>;
    // Runs on a thread of its own; may return an empty Finish.
    using Work = std::function<Finish(TaskProgress&)>;

    BackgroundTask() = default;
    ~BackgroundTask();
    BackgroundTask(const BackgroundTask&) = delete;
    BackgroundTask& operator=(const BackgroundTask&) = delete;

    // Starts `work` on a thread of its own under `label` ("Importing walk").
    // Returns false and starts nothing while another task is running (or
    // ended and not yet polled).
    bool start(const std::string& label, Work work);
    // Whether a task was started and poll() has not yet finished it.
    bool busy() const { return thread_.joinable(); }
    // Main thread, once per pass: when the work has ended, joins its thread,
    // runs the Finish it returned and returns true; false otherwise.
    bool poll();
    // "Importing walk: 42 %" while busy, "" otherwise.
    std::string progressText() const;
    // The label of the task being run, "" when none is.
    const std::string& label() const { return label_; }
    // Asks the running work to stop (it still ends through poll()).
    void cancel();
    // Blocks until the running work has ended, then finishes it as poll()
    // does. Nothing when idle.
    void wait();

private:
    // Joins the ended work's thread and runs what it handed back.
    void finishEnded();

    std::thread thread_;
    TaskProgress progress_;
    std::string label_;
    std::atomic<bool> ended_{false};
    std::mutex mutex_;
    Finish finish_;
};
