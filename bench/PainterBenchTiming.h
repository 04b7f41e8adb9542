#pragma once
// Timing helpers of the painter benchmarks. Each run is timed by the wall clock and by the thread's
// own processor time; on a busy machine the second shows the work itself.
#include <QElapsedTimer>
#include <algorithm>
#include <ctime>
#include <functional>
#include <vector>

namespace pagero::bench {

struct Times {
    std::vector<double> wallMs, cpuMs;   // sorted
};

inline double ThreadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

inline void TimeOnce(Times &into, const std::function<void()> &job)
{
    QElapsedTimer t;
    const double cpu0 = ThreadCpuMs();
    t.start();
    job();
    into.wallMs.push_back(t.nsecsElapsed() / 1e6);
    into.cpuMs.push_back(ThreadCpuMs() - cpu0);
}

inline void Sort(Times &t)
{
    std::sort(t.wallMs.begin(), t.wallMs.end());
    std::sort(t.cpuMs.begin(), t.cpuMs.end());
}

// Runs `job` `runs` times.
inline Times TimeRuns(int runs, const std::function<void()> &job)
{
    Times t;
    for (int i = 0; i < runs; ++i)
        TimeOnce(t, job);
    Sort(t);
    return t;
}

inline double Median(const std::vector<double> &sorted) { return sorted.empty() ? 0 : sorted[sorted.size() / 2]; }
inline double Percentile(const std::vector<double> &sorted, double p)
{
    return sorted.empty() ? 0 : sorted[std::min(sorted.size() - 1, size_t(p * (sorted.size() - 1) + 0.5))];
}

} // namespace pagero::bench
