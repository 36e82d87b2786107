// The progress of a long job at a terminal: one line on standard error,
// redrawn in place from a thread of its own every 100 ms (the job runs on
// the main thread, in the module, and cannot be asked to draw), and a
// one-line summary at the end. Off when standard error is no terminal (a
// pipe, a script, a log) or with --quiet: then nothing is drawn at all.
#pragma once
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace gridwell {

class ProgressLine {
public:
    explicit ProgressLine(bool quiet);
    ~ProgressLine(); // clears the line if no summary was drawn
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    bool Shown() const { return shown_; }
    // What the line says from now on; called from the drawing thread, so it
    // may only read what is safe to read from another thread.
    void Stage(std::function<std::string()> describe);
    // Stops drawing and writes `summary` with the time since the start.
    void Finish(const std::string& summary);
    double Seconds() const;

private:
    void Draw();
    void Stop();

    bool shown_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::mutex lock_;
    std::condition_variable wake_;
    std::function<std::string()> describe_;
    bool stop_ = false;
    std::thread thread_;
};

// "12 345 of 100 000 (12%)" and "3.4 MB".
std::string OutOf(std::uint64_t done, std::uint64_t total);
std::string Bytes(std::uint64_t bytes);

} // namespace gridwell
