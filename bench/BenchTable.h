#pragma once
// The bench's one table: each figure with its reference measured in the same run, the ratio of the
// two, the goal and whether it was met. Rows are printed as they come, so a long run shows its
// progress, and the verdict at the end.
#include <string>
#include <vector>

class BenchTable {
public:
    enum class Goal {
        kSpeedAtLeast,    // reference time / figure time >= limit (the figure as fast as its reference)
        kTimeAtMost,      // figure / reference <= limit
        kSecondsAtMost,   // the figure itself <= limit seconds; the reference shows its scale
        kAtMost,          // a plain value <= limit, no reference
        kInformation,     // figure / reference shown for scale, no goal
    };

    void PrintHeader() const;
    // A figure beside its reference; values are printed with their unit, the ratio from the two.
    void AddRatio(const std::string& figure, double value, const std::string& reference, double referenceValue,
                  const char* unit, Goal goal, double limit);
    // A figure without a reference (a count, a file size) against its limit.
    void AddValue(const std::string& figure, double value, const char* unit, double limit,
                  const std::string& goalText);
    // A figure that could not be measured: printed, and counted as a missed goal.
    void AddFailure(const std::string& figure, const std::string& why);
    void PrintVerdict() const;
    bool AllMet() const { return m_missed == 0 && m_failed == 0; }

private:
    int m_missed = 0;
    int m_failed = 0;
};

// Medians keep one slow run on a shared machine from deciding a figure.
double Median(std::vector<double> values);
