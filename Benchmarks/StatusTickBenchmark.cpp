// Cost of a status subsystem tick that does not evaluate, against an empty virtual call
// measured in the same run. Prints the ratios; it is a measurement, not a pass/fail test.
//
// Two ways to tick: back to back on one object, where each tick waits for the previous one's
// store of the accumulated time (a chain no real frame has, ticks being a frame apart), and
// round-robin over independent objects, which gives the cost of the call itself. The empty
// virtual call is measured both ways too, so each ratio compares like with like.

#include "HeadlessEngineLoop.h"
#include "QuarnStatusSubsystem.h"
#include "Tickable.h"

#include "BenchmarkEngine.h"
#include "RatioReporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace
{
	class FEmptyTickable final : public FTickableObjectBase
	{
	public:
		// Kept out of line, so the baseline is a real indirect call rather than an inlined nothing.
		FORCENOINLINE void Tick(float DeltaTime) override {}
		TStatId GetStatId() const override { return TStatId{this}; }
	};

	void BM_EmptyVirtualCall(benchmark::State& State)
	{
		FEmptyTickable Tickable;
		FTickableObjectBase* Target = &Tickable;
		for (auto _ : State)
		{
			// Reloaded every time, as the subsystem's pointer is: no devirtualisation.
			benchmark::DoNotOptimize(Target);
			Target->Tick(0.f);
			benchmark::ClobberMemory();
		}
	}

	constexpr int32 IndependentObjects = 8;

	/** The one timed loop of both round-robin measurements, so they differ only in what they tick. */
	void TickRoundRobin(benchmark::State& State, FTickableObjectBase* const (&Targets)[IndependentObjects])
	{
		for (auto _ : State)
		{
			for (FTickableObjectBase* Target : Targets)
			{
				benchmark::DoNotOptimize(Target);
				Target->Tick(0.f);
			}
			benchmark::ClobberMemory();
		}
		State.SetItemsProcessed(State.iterations() * IndependentObjects);
	}

	void BM_EmptyVirtualCallIndependent(benchmark::State& State)
	{
		FEmptyTickable Tickables[IndependentObjects];
		FTickableObjectBase* Targets[IndependentObjects];
		for (int32 Index = 0; Index < IndependentObjects; ++Index)
		{
			Targets[Index] = &Tickables[Index];
		}
		TickRoundRobin(State, Targets);
	}

	void BM_StatusTickIndependent(benchmark::State& State)
	{
		if (!UQuarnStatusSubsystem::Get())
		{
			State.SkipWithError("no status subsystem");
			return;
		}
		FTickableObjectBase* Targets[IndependentObjects];
		for (int32 Index = 0; Index < IndependentObjects; ++Index)
		{
			UQuarnStatusSubsystem* Subsystem = NewObject<UQuarnStatusSubsystem>();
			// Its first tick attaches the host notifications, as the engine's instance did.
			Subsystem->Tick(0.f);
			Targets[Index] = Subsystem;
		}
		TickRoundRobin(State, Targets);
	}

	void BM_StatusTickWithoutEvaluation(benchmark::State& State)
	{
		UQuarnStatusSubsystem* Subsystem = UQuarnStatusSubsystem::Get();
		if (!Subsystem)
		{
			State.SkipWithError("no status subsystem");
			return;
		}
		FTickableObjectBase* Target = Subsystem;
		for (auto _ : State)
		{
			benchmark::DoNotOptimize(Target);
			// A zero delta never reaches the 2 s interval, so no leg runs.
			Target->Tick(0.f);
			benchmark::ClobberMemory();
		}
	}
} // namespace

BENCHMARK(BM_EmptyVirtualCall);
BENCHMARK(BM_StatusTickWithoutEvaluation);
BENCHMARK(BM_EmptyVirtualCallIndependent);
BENCHMARK(BM_StatusTickIndependent);

int main(int ArgCount, char** Args)
{
	benchmark::Initialize(&ArgCount, Args);

	FHeadlessEngineLoop::Boot(BenchmarkEngineOptions("quarn-benchmark-project", EBenchmarkModules::Status));
	// One frame attaches the host notifications, as the first editor tick does.
	FHeadlessEngineLoop::Tick(0.0);

	FRatioReporter Reporter;
	benchmark::RunSpecifiedBenchmarks(&Reporter);
	FHeadlessEngineLoop::Shutdown();

	const double Baseline = Reporter.Nanoseconds("BM_EmptyVirtualCall");
	const double Tick = Reporter.Nanoseconds("BM_StatusTickWithoutEvaluation");
	const double IndependentBaseline = Reporter.Nanoseconds("BM_EmptyVirtualCallIndependent") / IndependentObjects;
	const double IndependentTick = Reporter.Nanoseconds("BM_StatusTickIndependent") / IndependentObjects;
	if (Baseline > 0.0 && Tick > 0.0 && IndependentBaseline > 0.0 && IndependentTick > 0.0)
	{
		std::printf("\nnon-evaluating tick, cost per call (independent objects): %.2f ns (target <= 20 ns)\n", IndependentTick);
		std::printf("  ratio to an empty virtual call measured the same way: %.2f (target <= 10)\n", IndependentTick / IndependentBaseline);
		std::printf("non-evaluating tick, back to back on one object: %.2f ns, %.2f x an empty virtual call back to back\n", Tick, Tick / Baseline);
	}
	return 0;
}
