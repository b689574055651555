#include "bench/bench.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace kelvo::bench {

namespace {
bool g_short = false;
bool g_failed = false;
} // namespace

bool IsShortRun() {
    return g_short;
}

int Sized(int full, int small) {
    return g_short ? small : full;
}

void Fail(const char* what) {
    std::fprintf(stderr, "kelvo-bench: %s\n", what);
    g_failed = true;
}

std::vector<Area>& Areas() {
    static std::vector<Area> areas;
    return areas;
}

double MedianMicros(int runs, const std::function<void()>& fn) {
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(runs));
    for (int i = 0; i < runs; ++i) {
        auto start = Clock::now();
        fn();
        times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

Timing MeasureAgainstFloor(int turns, int reps, const std::function<void()>& figure,
                           const std::function<void()>& floor) {
    auto batch = [reps](const std::function<void()>& fn) {
        return [&fn, reps] {
            for (int i = 0; i < reps; ++i)
                fn();
        };
    };
    std::vector<double> figures, floors;
    for (int turn = 0; turn < turns; ++turn) {
        figures.push_back(MedianMicros(1, batch(figure)) / reps);
        floors.push_back(MedianMicros(1, batch(floor)) / reps);
    }
    std::sort(figures.begin(), figures.end());
    std::sort(floors.begin(), floors.end());
    return {figures[figures.size() / 2], floors[floors.size() / 2]};
}

void ReportValue(const std::string& area, const std::string& figure, std::size_t n, double value,
                 double floor, const char* unit, double budget) {
    char budget_text[32] = "-";
    if (budget > 0 && !g_short)
        std::snprintf(budget_text, sizeof budget_text, "%.2f", budget);
    std::printf("bench %s/%s n=%zu median=%.1f%s floor=%.1f%s ratio=%.2f budget=%s\n", area.c_str(),
                figure.c_str(), n, value, unit, floor, unit, floor > 0 ? value / floor : 0.0,
                budget_text);
    std::fflush(stdout);
}

void Report(const std::string& area, const std::string& figure, std::size_t n, double median_us,
            double floor_us, double budget) {
    ReportValue(area, figure, n, median_us, floor_us, "us", budget);
}

} // namespace kelvo::bench

// kelvo-bench [area] [--short]
int main(int argc, char** argv) {
    const char* wanted = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--short") == 0)
            kelvo::bench::g_short = true;
        else
            wanted = argv[i];
    }
    bool ran = false;
    for (const auto& area : kelvo::bench::Areas()) {
        if (!wanted || std::strcmp(wanted, area.name) == 0) {
            area.run();
            ran = true;
        }
    }
    if (!ran) {
        std::fprintf(stderr, "kelvo-bench: no area named %s\n", wanted);
        return 2;
    }
    return kelvo::bench::g_failed ? 1 : 0;
}
