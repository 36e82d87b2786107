#include "progress_line.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace gridwell {

namespace {

// A terminal's width is not worth asking for: the line stays short enough.
constexpr std::size_t kWidth = 78;

void WriteError(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stderr); }

} // namespace

ProgressLine::ProgressLine(bool quiet)
    : shown_(!quiet && ::isatty(STDERR_FILENO) == 1)
{
    if (shown_)
        thread_ = std::thread([this] { Draw(); });
}

ProgressLine::~ProgressLine()
{
    if (shown_ && thread_.joinable()) {
        Stop();
        WriteError("\r\x1b[K");
    }
}

void ProgressLine::Stage(std::function<std::string()> describe)
{
    if (!shown_)
        return;
    std::lock_guard<std::mutex> guard(lock_);
    describe_ = std::move(describe);
    wake_.notify_one();
}

void ProgressLine::Draw()
{
    std::unique_lock<std::mutex> guard(lock_);
    while (!stop_) {
        if (describe_) {
            std::string text = describe_();
            if (text.size() > kWidth)
                text.resize(kWidth);
            WriteError("\r" + text + "\x1b[K");
        }
        wake_.wait_for(guard, std::chrono::milliseconds(100));
    }
}

void ProgressLine::Stop()
{
    {
        std::lock_guard<std::mutex> guard(lock_);
        stop_ = true;
        wake_.notify_one();
    }
    thread_.join();
}

double ProgressLine::Seconds() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

void ProgressLine::Finish(const std::string& summary)
{
    if (!shown_ || !thread_.joinable())
        return;
    Stop();
    char time[32];
    std::snprintf(time, sizeof time, " in %.1f s", Seconds());
    WriteError("\r\x1b[K" + summary + time + "\n");
}

std::string OutOf(std::uint64_t done, std::uint64_t total)
{
    std::string text = std::to_string(std::min(done, total)) + " of " + std::to_string(total);
    if (total > 0)
        text += " (" + std::to_string(std::min(done, total) * 100 / total) + "%)";
    return text;
}

std::string Bytes(std::uint64_t bytes)
{
    char text[32];
    if (bytes < 1024 * 1024)
        std::snprintf(text, sizeof text, "%.0f kB", bytes / 1024.0);
    else
        std::snprintf(text, sizeof text, "%.1f MB", bytes / (1024.0 * 1024.0));
    return text;
}

} // namespace gridwell
