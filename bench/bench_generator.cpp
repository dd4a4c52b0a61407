// Attempts per second of DrawExample, and the ceiling: the same random source drawing the two
// operands with the same formula and doing nothing else.

#include "ExampleGenerator.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

const char *const kAttemptsPerSecond = "attempts/s";

QuizSettings Settings(Operation op, qint32 min1, qint32 max1, qint32 min2, qint32 max2)
{
    QuizSettings s;
    s.Operation = op;
    s.Difficult = false;
    s.Min1 = min1;
    s.Max1 = max1;
    s.Min2 = min2;
    s.Max2 = max2;
    return s;
}

// Easy logarithms accept 666 of the 99 000 000 000 pairs: about 150 million attempts a question.
const QuizSettings kSparseLogarithm = Settings(Operation::Logarithm, 2, 100, 1, 1000000000);
// The start window's default: every pair is accepted at once.
const QuizSettings kDefaultMultiplication = Settings(Operation::Multiplication, 1, 10, 1, 10);

// The program's random source seen only through the interface, as the tests' scripted ones are.
class HiddenXoshiro final : public RandomSource
{
  public:
    explicit HiddenXoshiro(quint64 seed) : m_random(seed) {}
    double NextUniform() override { return m_random.NextUniform(); }

  private:
    Xoshiro256 m_random;
};

template <typename Random> void GeneratorAttempts(benchmark::State &state, const QuizSettings &s)
{
    Random random(12345);
    MonotonicClock clock;
    quint64 attempts = 0;
    for (auto _ : state) {
        const CountedDraw draw = DrawExampleCounted(s, random, clock);
        benchmark::DoNotOptimize(draw.example);
        attempts += draw.attempts;
    }
    state.counters[kAttemptsPerSecond] =
        benchmark::Counter(double(attempts), benchmark::Counter::kIsRate);
}

void SparseLogarithm(benchmark::State &state)
{
    GeneratorAttempts<Xoshiro256>(state, kSparseLogarithm);
}

void DefaultMultiplication(benchmark::State &state)
{
    GeneratorAttempts<Xoshiro256>(state, kDefaultMultiplication);
}

void SparseLogarithmThroughInterface(benchmark::State &state)
{
    GeneratorAttempts<HiddenXoshiro>(state, kSparseLogarithm);
}

void OperandsOnly(benchmark::State &state)
{
    Xoshiro256 random(12345);
    const OperandRange first(kSparseLogarithm.Min1, kSparseLogarithm.Max1);
    const OperandRange second(kSparseLogarithm.Min2, kSparseLogarithm.Max2);
    constexpr int kPairsPerIteration = 1 << 20;
    for (auto _ : state) {
        for (int i = 0; i < kPairsPerIteration; ++i) {
            const qint32 a = first.Draw(random.NextUniform());
            const qint32 b = second.Draw(random.NextUniform());
            benchmark::DoNotOptimize(a);
            benchmark::DoNotOptimize(b);
        }
    }
    state.counters[kAttemptsPerSecond] = benchmark::Counter(
        double(state.iterations()) * kPairsPerIteration, benchmark::Counter::kIsRate);
}

// Prints as usual and keeps every run's attempts per second for the summary.
class SummaryReporter : public benchmark::ConsoleReporter
{
  public:
    SummaryReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            const auto counter = run.counters.find(kAttemptsPerSecond);
            if (run.run_type == Run::RT_Iteration && counter != run.counters.end())
                m_rates[run.run_name.function_name].push_back(counter->second.value);
        }
    }

    void PrintSummary() const
    {
        std::printf("\n%-34s %14s %14s %14s %5s\n", "attempts per second", "median", "min", "max",
                    "runs");
        for (const auto &[name, rates] : m_rates) {
            std::printf("%-34s %14.4g %14.4g %14.4g %5zu\n", name.c_str(), Median(name),
                        *std::min_element(rates.begin(), rates.end()),
                        *std::max_element(rates.begin(), rates.end()), rates.size());
        }
        const double sparse = Median("SparseLogarithm");
        const double ceiling = Median("OperandsOnly");
        if (sparse > 0 && ceiling > 0)
            std::printf("\nratio SparseLogarithm / OperandsOnly (medians): %.3f\n",
                        sparse / ceiling);
    }

  private:
    double Median(const std::string &name) const
    {
        const auto found = m_rates.find(name);
        if (found == m_rates.end() || found->second.empty())
            return 0;
        std::vector<double> rates = found->second;
        std::sort(rates.begin(), rates.end());
        const size_t n = rates.size();
        return n % 2 ? rates[n / 2] : (rates[n / 2 - 1] + rates[n / 2]) / 2;
    }

    std::map<std::string, std::vector<double>> m_rates;
};

} // namespace

// Each sparse question takes about a second, so those runs are given more time.
BENCHMARK(SparseLogarithm)->MinTime(3.0)->Unit(benchmark::kMillisecond);
BENCHMARK(SparseLogarithmThroughInterface)->MinTime(3.0)->Unit(benchmark::kMillisecond);
BENCHMARK(DefaultMultiplication)->MinTime(1.0);
BENCHMARK(OperandsOnly)->MinTime(1.0)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintSummary();
    benchmark::Shutdown();
    return 0;
}
