#pragma once

// The console report, plus each benchmark's wall time per iteration in nanoseconds (whatever
// unit it prints in), so a program can print ratios between benchmarks of the same run.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class FRatioReporter final : public benchmark::ConsoleReporter
{
public:
	void ReportRuns(const std::vector<Run>& Runs) override
	{
		ConsoleReporter::ReportRuns(Runs);
		for (const Run& Result : Runs)
		{
			if (Result.run_type == Run::RT_Iteration && Result.iterations > 0)
			{
				NanosecondsPerIteration[Result.benchmark_name()] = 1e9 * Result.real_accumulated_time / static_cast<double>(Result.iterations);
			}
		}
	}

	/** 0 for a benchmark that did not run. */
	double Nanoseconds(const std::string& Name) const
	{
		const auto Found = NanosecondsPerIteration.find(Name);
		return Found == NanosecondsPerIteration.end() ? 0.0 : Found->second;
	}

private:
	std::map<std::string, double> NanosecondsPerIteration;
};
