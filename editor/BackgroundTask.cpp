#include "editor/BackgroundTask.h"

#include <algorithm>
#include <cmath>

void TaskProgress::set(double fraction) {
    fraction_.store(std::isnan(fraction) ? 0.0 : std::clamp(fraction, 0.0, 1.0));
}

void TaskProgress::reset() {
    fraction_.store(0);
    cancelled_.store(false);
}

BackgroundTask::~BackgroundTask() {
    if (thread_.joinable()) {
        progress_.cancel();
        thread_.join();
    }
}

bool BackgroundTask::start(const std::string& label, Work work) {
    if (busy())
        return false;
    label_ = label;
    // A cancel meant for the last work must not stop this one.
    progress_.reset();
    ended_.store(false);
    finish_ = nullptr;
    thread_ = std::thread([this, work = std::move(work)] {
        Finish finish;
        try {
            finish = work(progress_);
        } catch (...) {
            // Work that throws (out of memory, say) ends with nothing to do;
            // the program goes on.
            finish = nullptr;
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            finish_ = std::move(finish);
        }
        ended_.store(true);
    });
    return true;
}

bool BackgroundTask::poll() {
    if (!busy() || !ended_.load())
        return false;
    finishEnded();
    return true;
}

void BackgroundTask::finishEnded() {
    thread_.join();
    Finish finish;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        finish = std::move(finish_);
        finish_ = nullptr;
    }
    label_.clear();
    if (finish)
        finish();
}

std::string BackgroundTask::progressText() const {
    if (!thread_.joinable())
        return "";
    const int percent = static_cast<int>(progress_.fraction() * 100);
    return label_ + ": " + std::to_string(percent) + " %";
}

void BackgroundTask::cancel() {
    if (busy())
        progress_.cancel();
}

void BackgroundTask::wait() {
    if (busy())
        finishEnded();
}
