#include "BenchTable.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kRowFormat = "%-42s %13s   %-36s %13s   %7s   %-16s %s\n";

std::string Format(double value, const char* unit)
{
    char text[64];
    if (std::strcmp(unit, "s") == 0)
        std::snprintf(text, sizeof text, "%.3f s", value);
    else if (std::strcmp(unit, "MiB") == 0)
        std::snprintf(text, sizeof text, "%.1f MiB", value);
    else
        std::snprintf(text, sizeof text, "%.0f %s", value, unit);
    return text;
}

std::string Ratio(double ratio)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2fx", ratio);
    return text;
}

}  // namespace

void BenchTable::PrintHeader() const
{
    std::printf(kRowFormat, "figure", "measured", "reference, same run and folder", "measured", "ratio", "goal", "");
    std::fflush(stdout);
}

void BenchTable::AddRatio(const std::string& figure, double value, const std::string& reference,
                          double referenceValue, const char* unit, Goal goal, double limit)
{
    if (value <= 0 || referenceValue <= 0) {
        AddFailure(figure, "no time measured");
        return;
    }
    double ratio = 0;
    char goalText[32];
    bool met = false;
    if (goal == Goal::kSpeedAtLeast) {
        ratio = referenceValue / value;
        met = ratio >= limit;
        std::snprintf(goalText, sizeof goalText, ">= %.2fx speed", limit);
    } else if (goal == Goal::kInformation) {
        ratio = value / referenceValue;
        std::printf(kRowFormat, figure.c_str(), Format(value, unit).c_str(), reference.c_str(),
                    Format(referenceValue, unit).c_str(), Ratio(ratio).c_str(), "(information)", "");
        std::fflush(stdout);
        return;
    } else if (goal == Goal::kSecondsAtMost) {
        ratio = value / referenceValue;
        met = value <= limit;
        std::snprintf(goalText, sizeof goalText, "<= %.2f s", limit);
    } else {
        ratio = value / referenceValue;
        met = ratio <= limit;
        std::snprintf(goalText, sizeof goalText, "<= %.2fx", limit);
    }
    m_missed += met ? 0 : 1;
    std::printf(kRowFormat, figure.c_str(), Format(value, unit).c_str(), reference.c_str(),
                Format(referenceValue, unit).c_str(), Ratio(ratio).c_str(), goalText, met ? "met" : "MISSED");
    std::fflush(stdout);
}

void BenchTable::AddValue(const std::string& figure, double value, const char* unit, double limit,
                          const std::string& goalText)
{
    const bool met = value <= limit;
    m_missed += met ? 0 : 1;
    std::printf(kRowFormat, figure.c_str(), Format(value, unit).c_str(), "-", "", "", goalText.c_str(),
                met ? "met" : "MISSED");
    std::fflush(stdout);
}

void BenchTable::AddFailure(const std::string& figure, const std::string& why)
{
    ++m_failed;
    std::printf("%-42s %s\n", figure.c_str(), ("NOT MEASURED: " + why).c_str());
    std::fflush(stdout);
}

void BenchTable::PrintVerdict() const
{
    if (AllMet())
        std::printf("\nall goals met\n");
    else
        std::printf("\ngoals missed: %d, figures not measured: %d\n", m_missed, m_failed);
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}
