// The example generator, in four parts:
// - Google Benchmark runs: the start window's default question, and a sparse one;
// - paired rounds: attempts per second of the operand loop against the ceiling (the same
//   random source drawing the two operands with the same formula and doing nothing else), each
//   round measuring both side by side, both on a local copy of the random state;
// - the grid: every operation and difficulty over the ranges in kGrid, with the exact share of
//   candidates, the acceptance, which draw the questions take, their time and the chance that
//   a quiz of twelve questions gives up;
// - the extreme settings: every operation and difficulty with both operands over every ordered
//   pair of kBounds, whether a pair is acceptable (decided exactly, apart from the generator),
//   and where one is, the acceptance, the give-up bound per quiz and the time of N questions.
// - the bands: easy divisions of wide ranges of dividends away from 0 by every divisor.
//   bench_generator [--rounds=N] [--questions=N] [--no-grid] [--extremes=N] [--every-cell]
//                   [--bands=N] [Google Benchmark flags]
//   --extremes=0 leaves the extreme settings out; --every-cell prints a line for each cell;
//   --bands=N questions for each band (0 leaves them out).

#include "AcceptablePairExists.h"
#include "AcceptanceRules.h"
#include "CandidatePairs_p.h"
#include "ExampleGenerator_p.h"
#include "OperandRange_p.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr qint32 kMin = std::numeric_limits<qint32>::min();
constexpr qint32 kMax = std::numeric_limits<qint32>::max();
constexpr int kQuestionsPerQuiz = 12;

QuizSettings Settings(Operation op, bool difficult, qint32 min1, qint32 max1, qint32 min2,
                      qint32 max2)
{
    QuizSettings s;
    s.Operation = op;
    s.Difficult = difficult;
    s.Min1 = min1;
    s.Max1 = max1;
    s.Min2 = min2;
    s.Max2 = max2;
    return s;
}

double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Seconds of this thread's processor time: what a question costs, without the time the
// scheduler gave to other processes.
double ThreadTime()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double Quantile(std::vector<double> v, double q)
{
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(q * double(v.size())))];
}

// The start window's default: every pair is accepted at once.
const QuizSettings kDefault = Settings(Operation::Multiplication, false, 1, 10, 1, 10);
// Easy logarithms with 666 acceptable pairs of 99 000 000 000: drawn from the candidates.
const QuizSettings kSparse = Settings(Operation::Logarithm, false, 2, 100, 1, 1000000000);

void Questions(benchmark::State &state, const QuizSettings &s)
{
    Xoshiro256 random(12345);
    MonotonicClock clock;
    quint64 attempts = 0;
    for (auto _ : state) {
        const CountedDraw draw = DrawExampleCounted(s, random, clock);
        benchmark::DoNotOptimize(draw.example);
        attempts += draw.attempts;
    }
    state.counters["attempts/s"] =
        benchmark::Counter(double(attempts), benchmark::Counter::kIsRate);
}

void DefaultMultiplication(benchmark::State &state)
{
    Questions(state, kDefault);
}

void SparseLogarithm(benchmark::State &state)
{
    Questions(state, kSparse);
}

// A clock that lets the generator give up after a given number of readings, so that the
// operand loop runs a known number of attempts on settings without an acceptable pair.
class ReadingsClock final : public Clock
{
  public:
    explicit ReadingsClock(int readings) : m_step(kGiveUpSeconds / (readings - 0.5)) {}
    double Seconds() override { return m_step * m_readings++; }

  private:
    double m_step;
    int m_readings = 0;
};

// The ceiling: the operand draws alone, on a local copy of the state as the generator's.
quint64 OperandsOnly(Xoshiro256 &shared, const QuizSettings &s, quint64 pairs)
{
    Xoshiro256 random = shared;
    const OperandRange first(s.Min1, s.Max1), second(s.Min2, s.Max2);
    quint64 sum = 0;
    for (quint64 i = 0; i < pairs; ++i) {
        const qint32 a = first.Draw(random.NextUniform());
        const qint32 b = second.Draw(random.NextUniform());
        sum += quint32(a) ^ quint32(b);
    }
    shared = random;
    return sum;
}

// Rounds of the operand loop on settings where nothing is acceptable (so no question ends
// early and the loop is all that runs) against the ceiling on the same ranges.
void PairedRatios(const char *name, const QuizSettings &s, int rounds)
{
    if (CandidatePairs(s).Count() != 0) {
        std::printf("%s: has candidates, not measured\n", name);
        return;
    }
    std::vector<double> generator, ceiling, ratio;
    Xoshiro256 random(2024);
    for (int round = 0; round < rounds; ++round) {
        ReadingsClock clock(20000); // about 20 million attempts
        double t = Now();
        const CountedDraw draw = DrawExampleCounted(s, random, clock);
        const double generatorRate = double(draw.attempts) / (Now() - t);
        t = Now();
        benchmark::DoNotOptimize(OperandsOnly(random, s, draw.attempts));
        const double ceilingRate = double(draw.attempts) / (Now() - t);
        generator.push_back(generatorRate);
        ceiling.push_back(ceilingRate);
        ratio.push_back(generatorRate / ceilingRate);
    }
    const auto show = [](const char *what, const std::vector<double> &v, double scale) {
        std::printf("  %-26s %10.3f %10.3f %10.3f\n", what,
                    *std::min_element(v.begin(), v.end()) / scale, Quantile(v, 0.5) / scale,
                    *std::max_element(v.begin(), v.end()) / scale);
    };
    std::printf("\n%s, %d paired rounds           min     median        max\n", name, rounds);
    show("generator (M attempts/s)", generator, 1e6);
    show("ceiling (M attempts/s)", ceiling, 1e6);
    show("ratio", ratio, 1);
}

struct Range
{
    const char *name;
    qint32 min1, max1, min2, max2;
};

const Range kGrid[] = {
    {"1..10", 1, 10, 1, 10},
    {"1..10^6", 1, 1000000, 1, 1000000},
    {"1..10^9", 1, 1000000000, 1, 1000000000},
    {"1..2^31-1", 1, kMax, 1, kMax},
    {"-10^9..-1", -1000000000, -1, -1000000000, -1},
    {"10^9..1", 1000000000, 1, 1000000000, 1},
    {"full", kMin, kMax, kMin, kMax},
};

// Acceptable candidates: all of them judged when there are at most kEnumerated, otherwise
// estimated from kSampled uniform ones (with the lower end of a 99.9 % interval).
constexpr quint64 kEnumerated = 100000000;
constexpr int kSampled = 200000;

struct Acceptance
{
    double count, lowest;
    bool exact;
};

Acceptance CountAcceptable(const QuizSettings &s, const CandidatePairs &candidates)
{
    const quint64 n = candidates.Count();
    const auto accepted = [&s](std::optional<std::pair<qint32, qint32>> p) {
        return p && JudgePair(s.Operation, s.Difficult, p->first, p->second).has_value();
    };
    if (n <= kEnumerated) {
        quint64 count = 0;
        for (quint64 i = 0; i < n; ++i)
            count += accepted(candidates.Pair(i));
        return {double(count), double(count), true};
    }
    Xoshiro256 random(77);
    int hits = 0;
    for (int i = 0; i < kSampled; ++i)
        hits += accepted(candidates.Pair(random.Next() % n)); // bias below 2^-20 here
    const double p = double(hits) / kSampled;
    const double low = std::max(0.0, p - 3.3 * std::sqrt(p * (1 - p) / kSampled));
    return {p * double(n), low * double(n), false};
}

void Grid(int questions)
{
    std::printf("\n| operation | ranges | candidates / pairs | acceptance | draw | count p99 µs "
                "| question p50 µs | p99 µs | give-up per quiz |\n|---|---|---|---|---|---|---|"
                "---|---|\n");
    for (Operation op : kAllOperations) {
        for (bool difficult : {false, true}) {
            for (const Range &r : kGrid) {
                const QuizSettings s = Settings(op, difficult, r.min1, r.max1, r.min2, r.max2);
                std::vector<double> setup;
                for (int i = 0; i < 300; ++i) {
                    const double t = Now();
                    benchmark::DoNotOptimize(CandidatePairs(s).Count());
                    setup.push_back(Now() - t);
                }
                const CandidatePairs candidates(s);
                const Acceptance accepted = CountAcceptable(s, candidates);
                const double pairs = double(candidates.Count()) / candidates.Share();
                std::printf("| %s%s | %s | %.3g | %s%.3g | %s | %.0f |",
                            QString(OperationSymbol(op)).toUtf8().constData(),
                            difficult ? " difficult" : "", r.name, candidates.Share(),
                            accepted.exact ? "" : "≈", accepted.count / pairs,
                            candidates.Direct() ? "direct" : "loop", Quantile(setup, 0.99) * 1e6);
                if (accepted.count == 0) {
                    std::printf(" - | - | always (nothing acceptable) |\n");
                    continue;
                }
                Xoshiro256 random(4321);
                MonotonicClock clock;
                std::vector<double> times;
                quint64 attempts = 0, direct = 0, gaveUp = 0;
                for (int i = 0; i < questions; ++i) {
                    const double t = Now();
                    const CountedDraw draw = DrawExampleCounted(s, random, clock);
                    times.push_back(Now() - t);
                    attempts += draw.attempts;
                    direct += draw.direct;
                    gaveUp += !draw.example;
                }
                // Attempts per second over the whole questions, set-up included: a lower bound
                // for the rate of the draw that runs to the 5-second limit.
                double total = 0;
                for (double t : times)
                    total += t;
                const double rate = double(attempts) / total;
                // A question gives up only if all of the attempts in 5 s are rejected: each is
                // accepted with probability at least p (acceptable / candidates for the
                // direct draw, acceptable / pairs for the loop); a quiz has twelve questions.
                const double p = accepted.lowest / (direct ? double(candidates.Count()) : pairs);
                const double log10Question =
                    5.0 * rate * std::log1p(-std::min(p, 1 - 1e-16)) / std::log(10.0);
                const double log10Quiz = log10Question + std::log10(double(kQuestionsPerQuiz));
                std::printf(" %.1f | %.1f | %s |\n", Quantile(times, 0.5) * 1e6,
                            Quantile(times, 0.99) * 1e6,
                            gaveUp
                                ? "GAVE UP"
                                : QString::asprintf("< 10^%.3g", log10Quiz).toUtf8().constData());
                std::fflush(stdout);
            }
        }
    }
}

// The table of extreme settings: every operation and difficulty, and for each operand every
// ordered pair of these bounds as min..max (reversed ranges included).
const qint32 kBounds[] = {kMin, kMin + 1, -1000000, -2, -1, 0, 1, 2, 1000000, kMax - 1, kMax};
// Candidates judged per cell: all of them up to this many, otherwise this many uniform ones.
constexpr quint64 kJudged = 4096;
// The acceptance's lower bound holds in all but this share of the cells.
constexpr double kMissedBound = 1e-12;

// The largest p with K * D(hits / K || p) >= ln(1 / kMissedBound), D the relative entropy:
// by the Chernoff bound, K draws with acceptance p give hits or more with probability at most
// kMissedBound.
double AcceptanceLowerBound(quint64 hits, quint64 draws)
{
    const double q = double(hits) / double(draws), limit = -std::log(kMissedBound);
    if (hits == 0)
        return 0;
    const auto divergence = [q](double p) {
        return q * std::log(q / p) + (q < 1 ? (1 - q) * std::log((1 - q) / (1 - p)) : 0.0);
    };
    double low = 0, high = q;
    for (int i = 0; i < 100; ++i) {
        const double middle = (low + high) / 2;
        (double(draws) * divergence(middle) > limit ? low : high) = middle;
    }
    return low;
}

struct Cell
{
    QuizSettings settings;
    double acceptable;  // acceptable / candidates: exact, or estimated from kJudged of them
    double acceptance;  // lower bound per attempt of the draw a failed first batch goes on with
    double log10GiveUp; // per quiz
    double p99, cpuP99; // seconds: elapsed, and of the thread's processor time
    bool direct;
};

QString CellName(const QuizSettings &s)
{
    const auto bound = [](qint32 v) {
        switch (v) {
        case kMin:
            return QStringLiteral("-2^31");
        case kMin + 1:
            return QStringLiteral("-2^31+1");
        case kMax - 1:
            return QStringLiteral("2^31-2");
        case kMax:
            return QStringLiteral("2^31-1");
        case 1000000:
            return QStringLiteral("10^6");
        case -1000000:
            return QStringLiteral("-10^6");
        }
        return QString::number(v);
    };
    return QString(OperationSymbol(s.Operation)) + (s.Difficult ? " difficult " : " ") +
           bound(s.Min1) + ".." + bound(s.Max1) + ", " + bound(s.Min2) + ".." + bound(s.Max2);
}

// One cell: its acceptable pairs (none, or the lower bound of the acceptance), then `questions`
// questions timed. Nothing when no pair is acceptable.
std::optional<Cell> MeasureCell(const QuizSettings &s, int questions, int &disagreements,
                                int &onlyWithMin)
{
    const bool exists = AcceptablePairExists(s.Operation, s.Difficult, ValuesOf(s.Min1, s.Max1),
                                             ValuesOf(s.Min2, s.Max2));
    const CandidatePairs candidates(s);
    const quint64 count = candidates.Count();
    if ((count > 0) != exists) {
        ++disagreements;
        std::printf("DISAGREEMENT %s: acceptable %s, %llu candidates\n",
                    CellName(s).toUtf8().constData(), exists ? "yes" : "no",
                    static_cast<unsigned long long>(count));
    }
    if (!exists) {
        onlyWithMin +=
            AcceptablePairExists(s.Operation, s.Difficult, ValuesOf(s.Min1, s.Max1, true),
                                 ValuesOf(s.Min2, s.Max2, true));
        return std::nullopt;
    }

    Xoshiro256 random(4321);
    quint64 hits = 0;
    const quint64 judged = std::min(count, kJudged);
    for (quint64 i = 0; i < judged; ++i) {
        const auto pair = candidates.Pair(count <= kJudged ? i : random.Next() % count);
        hits += pair && JudgePair(s.Operation, s.Difficult, pair->first, pair->second);
    }
    const double share =
        count <= kJudged ? double(hits) / double(count) : AcceptanceLowerBound(hits, judged);

    Cell cell{s,
              double(hits) / double(judged),
              candidates.Direct() ? share : share * candidates.Share(),
              0,
              0,
              0,
              candidates.Direct()};
    std::vector<double> times, cpuTimes;
    MonotonicClock clock;
    quint64 attempts = 0;
    double total = 0;
    bool gaveUp = false;
    for (int i = 0; i < questions; ++i) {
        const double cpu = ThreadTime(), t = Now();
        const CountedDraw draw = DrawExampleCounted(s, random, clock);
        times.push_back(Now() - t);
        cpuTimes.push_back(ThreadTime() - cpu);
        total += times.back();
        attempts += draw.attempts;
        gaveUp |= !draw.example;
    }
    // As on the grid: the attempts in 5 s at the rate of these questions, set-up included.
    const double attemptsIn5s = kGiveUpSeconds * double(attempts) / total;
    cell.log10GiveUp =
        gaveUp
            ? 0
            : std::log10(double(kQuestionsPerQuiz)) +
                  attemptsIn5s * std::log1p(-std::min(cell.acceptance, 1 - 1e-16)) / std::log(10.0);
    const auto nearestRank = [](std::vector<double> v, double q) {
        std::sort(v.begin(), v.end());
        return v[size_t(std::ceil(q * double(v.size()))) - 1];
    };
    cell.p99 = nearestRank(times, 0.99);
    cell.cpuP99 = nearestRank(cpuTimes, 0.99);
    return cell;
}

void ExtremeTable(int questions, bool everyCell)
{
    struct Summary
    {
        int cells = 0, none = 0, direct = 0, over1ms = 0, over10ms = 0;
        std::optional<Cell> worstGiveUp, slowest, slowestCpu;
        double lowestAcceptable = 1, lowestAcceptance = 1;
    };
    std::map<std::pair<int, bool>, Summary> rows;
    Summary all;
    int disagreements = 0, onlyWithMin = 0;
    const double started = Now();
    for (Operation op : kAllOperations) {
        for (bool difficult : {false, true}) {
            Summary &row = rows[{int(op), difficult}];
            for (qint32 min1 : kBounds)
                for (qint32 max1 : kBounds)
                    for (qint32 min2 : kBounds)
                        for (qint32 max2 : kBounds) {
                            const QuizSettings s = Settings(op, difficult, min1, max1, min2, max2);
                            const std::optional<Cell> cell =
                                MeasureCell(s, questions, disagreements, onlyWithMin);
                            for (Summary *sum : {&row, &all}) {
                                ++sum->cells;
                                if (!cell) {
                                    ++sum->none;
                                    continue;
                                }
                                sum->direct += cell->direct;
                                sum->over1ms += cell->p99 > 1e-3;
                                sum->over10ms += cell->p99 > 1e-2;
                                sum->lowestAcceptance =
                                    std::min(sum->lowestAcceptance, cell->acceptance);
                                sum->lowestAcceptable =
                                    std::min(sum->lowestAcceptable, cell->acceptable);
                                if (!sum->worstGiveUp ||
                                    cell->log10GiveUp > sum->worstGiveUp->log10GiveUp)
                                    sum->worstGiveUp = cell;
                                if (!sum->slowest || cell->p99 > sum->slowest->p99)
                                    sum->slowest = cell;
                                if (!sum->slowestCpu || cell->cpuP99 > sum->slowestCpu->cpuP99)
                                    sum->slowestCpu = cell;
                            }
                            if (everyCell)
                                std::printf("%s\t%s\n", CellName(s).toUtf8().constData(),
                                            cell ? QString::asprintf(
                                                       "acceptance >= %.3g\tgive-up < 10^%.3g\t"
                                                       "p99 %.1f µs\tprocessor p99 %.1f µs",
                                                       cell->acceptance, cell->log10GiveUp,
                                                       cell->p99 * 1e6, cell->cpuP99 * 1e6)
                                                       .toUtf8()
                                                       .constData()
                                                 : "no acceptable pair");
                        }
        }
    }
    std::printf("\nExtreme settings: %d cells, %d questions each, %.0f s; %d disagreements "
                "between the candidates and the exact existence; %d cells without an acceptable "
                "pair but for the min of a reversed range (r = 0)\n\n",
                all.cells, questions, Now() - started, disagreements, onlyWithMin);
    std::printf("| operation | cells | no acceptable pair | drawn directly | lowest acceptable "
                "/ candidates | lowest acceptance per attempt | worst give-up per quiz | worst "
                "p99 µs (cell) | p99 > 1 ms | p99 > 10 ms | worst processor-time p99 µs "
                "(cell) |\n|---|---|---|---|---|---|---|---|---|---|---|\n");
    const auto show = [](const char *name, const Summary &sum) {
        const auto cell = [](const std::optional<Cell> &c) {
            return c ? CellName(c->settings) : QStringLiteral("-");
        };
        std::printf("| %s | %d | %d | %d | %.3g | %.3g | < 10^%.3g | %.0f (%s) | %d | %d | %.0f "
                    "(%s) |\n",
                    name, sum.cells, sum.none, sum.direct, sum.lowestAcceptable,
                    sum.lowestAcceptance, sum.worstGiveUp ? sum.worstGiveUp->log10GiveUp : 0.0,
                    sum.slowest ? sum.slowest->p99 * 1e6 : 0.0,
                    cell(sum.slowest).toUtf8().constData(), sum.over1ms, sum.over10ms,
                    sum.slowestCpu ? sum.slowestCpu->cpuP99 * 1e6 : 0.0,
                    cell(sum.slowestCpu).toUtf8().constData());
    };
    for (const auto &[key, sum] : rows)
        show(QString(QString(OperationSymbol(Operation(key.first))) +
                     (key.second ? " difficult" : ""))
                 .toUtf8()
                 .constData(),
             sum);
    show("all", all);
    if (all.worstGiveUp)
        std::printf("\nWorst give-up bound: %s\n",
                    CellName(all.worstGiveUp->settings).toUtf8().constData());
}

// Easy divisions of dividends away from 0 by every 32-bit divisor: the first range
// 2^31 - w..2^31 - 1 (and its negative), whose candidates are each dividend's divisors up to
// w = 46340 and the blocks of a band above. The processor time of one count (best of 20), and
// the questions' times as in a cell of the extreme settings.
void Bands(int questions)
{
    std::printf("\n| dividends | count, processor time | question p99 | processor-time p99 | "
                "acceptable / candidates |\n|---|---|---|---|---|\n");
    for (const qint64 width : {1024LL, 16384LL, 46340LL, 46341LL, 65537LL, 100000LL, 300000LL,
                               1000000LL, 10000000LL, 647483648LL}) {
        for (const bool negative : {false, true}) {
            const qint32 low = qint32(kMax - width + 1);
            const QuizSettings s =
                negative ? Settings(Operation::Division, false, -kMax, -low, kMin, kMax)
                         : Settings(Operation::Division, false, low, kMax, kMin, kMax);
            double best = 1e9;
            for (int i = 0; i < 20; ++i) {
                const double start = ThreadTime();
                const CandidatePairs candidates(s);
                benchmark::DoNotOptimize(candidates.Count());
                best = std::min(best, ThreadTime() - start);
            }
            int disagreements = 0, onlyWithMin = 0;
            const std::optional<Cell> cell = MeasureCell(s, questions, disagreements, onlyWithMin);
            std::printf("| %s%lld values | %.0f µs | %.0f µs | %.0f µs | %.3g |\n",
                        negative ? "-" : "", static_cast<long long>(width), best * 1e6,
                        cell ? cell->p99 * 1e6 : 0.0, cell ? cell->cpuP99 * 1e6 : 0.0,
                        cell ? cell->acceptable : 0.0);
        }
    }
}

int IntOption(int &argc, char **argv, const char *name, int fallback)
{
    const size_t length = std::strlen(name);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], name, length) == 0) {
            const int value = std::strcmp(argv[i], name) == 0 ? 0 : std::atoi(argv[i] + length + 1);
            std::copy(argv + i + 1, argv + argc, argv + i);
            --argc;
            return value;
        }
    }
    return fallback;
}

} // namespace

BENCHMARK(DefaultMultiplication)->MinTime(1.0);
BENCHMARK(SparseLogarithm)->MinTime(1.0)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    const int rounds = IntOption(argc, argv, "--rounds", 9);
    const int questions = IntOption(argc, argv, "--questions", 300);
    const bool grid = IntOption(argc, argv, "--no-grid", 1) != 0;
    const int extremeQuestions = IntOption(argc, argv, "--extremes", 100);
    const bool everyCell = IntOption(argc, argv, "--every-cell", 1) == 0;
    const int bandQuestions = IntOption(argc, argv, "--bands", 1000);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    // Easy logarithms with no power of 2..100 among the second operands, and easy divisions
    // of numbers smaller than every divisor.
    if (rounds > 0) {
        PairedRatios("easy logarithm 2..100, 1000000001..1001000000",
                     Settings(Operation::Logarithm, false, 2, 100, 1000000001, 1001000000), rounds);
        PairedRatios("easy division 1..10^6, 10^6+1..10^9",
                     Settings(Operation::Division, false, 1, 1000000, 1000001, 1000000000), rounds);
    }
    if (grid)
        Grid(questions);
    if (extremeQuestions > 0)
        ExtremeTable(extremeQuestions, everyCell);
    if (bandQuestions > 0)
        Bands(bandQuestions);
    return 0;
}
