#pragma once
// The benchmark harness: each area registers its figures; every figure is
// printed as one line with its median, the floor measured in the same run,
// their ratio and the budget.

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace kelvo::bench {

using Clock = std::chrono::steady_clock;

// Median in microseconds of `runs` calls of `fn`.
double MedianMicros(int runs, const std::function<void()>& fn);

struct Timing {
    double figure_us;
    double floor_us;
};

// Microseconds per call of a figure and of its floor, measured in turns so that
// both see the same load on a busy machine; each timed batch repeats the call
// `reps` times to stand well above the clock's resolution.
Timing MeasureAgainstFloor(int turns, int reps, const std::function<void()>& figure,
                           const std::function<void()>& floor);

// The short form (--short): small sizes and one turn, budgets not enforced,
// run by the tests so that an area that no longer starts, hangs or crashes is
// seen. The figures it prints measure nothing worth comparing.
bool IsShortRun();
// `full` in a full run, `small` in the short form.
int Sized(int full, int small);

// An area could not do its work: told on stderr, and the program ends with
// a failure code once the areas have run.
void Fail(const char* what);

// Prints: bench <area>/<figure> n=<n> median=<v>us floor=<v>us ratio=<r> budget=<b>
// budget <= 0, and every budget in the short form, prints "-".
void Report(const std::string& area, const std::string& figure, std::size_t n, double median_us,
            double floor_us, double budget);

// Prints a figure measured in another unit (for example peak memory in KiB).
void ReportValue(const std::string& area, const std::string& figure, std::size_t n, double value,
                 double floor, const char* unit, double budget);

struct Area {
    const char* name;
    void (*run)();
};

// Areas register themselves with a static KELVO_BENCH_AREA(name, function).
std::vector<Area>& Areas();
struct AreaRegistration {
    AreaRegistration(const char* name, void (*run)()) { Areas().push_back({name, run}); }
};

} // namespace kelvo::bench

#define KELVO_BENCH_AREA(name, fn)                                                                 \
    static ::kelvo::bench::AreaRegistration kelvo_bench_area_##fn {                                \
        name, fn                                                                                   \
    }
