// Cost of one evaluation of the tracking and lens legs for studios of sources x subjects, one
// receiving camera per subject. Prints time per evaluation, per (source x subject) pair and the
// 4x16 studio's share of a 60 fps frame; a measurement, not a pass/fail test.

#include "HeadlessEngineLoop.h"
#include "HeadlessLiveLinkClient.h"
#include "LiveLinkQuarnTypes.h"
#include "Materials/Material.h"
#include "Materials/MaterialInstanceDynamic.h"
#include "QuarnCamera.h"
#include "QuarnLiveLinkComponentController.h"
#include "QuarnLiveLinkSourceSettings.h"
#include "QuarnLiveLinkSubjectSettings.h"
#include "QuarnStatusSubsystem.h"
#include "QuarnVPEditorSubsystem.h"
#include "QuarnZentrelSubsystem.h"
#include "Roles/LiveLinkCameraRole.h"

#include "BenchmarkEngine.h"
#include "RatioReporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <utility>

/** Runs the two legs on their own, as the periodic evaluation does before video and sync. */
struct FQuarnStatusSubsystemTestAccess
{
	static void EvaluateTrackingAndLens(UQuarnStatusSubsystem& Subsystem)
	{
		Subsystem.UpdateTrackingStatus();
		Subsystem.UpdateLensStatus();
	}
};

namespace
{
	/** Every subject received by its own camera, with lens data and the distortion material: all checks run, the verdict is Green. */
	void BuildStudio(int32 NumSources, int32 NumSubjectsPerSource)
	{
		FHeadlessLiveLinkClient& Client = FHeadlessLiveLinkClient::Get();
		Client.Reset();
		TArray<AQuarnCamera*> Cameras;
		UMaterial* Distortion = NewObject<UMaterial>(nullptr, nullptr, TEXT("M_QuarnDistortionPostProcess"));
		for (int32 SourceIndex = 0; SourceIndex < NumSources; ++SourceIndex)
		{
			const FGuid Source = Client.AddSource(NewObject<UQuarnLiveLinkSourceSettings>());
			for (int32 SubjectIndex = 0; SubjectIndex < NumSubjectsPerSource; ++SubjectIndex)
			{
				const FName Name(FString::Printf(TEXT("Source%d_Subject%d"), SourceIndex, SubjectIndex));
				UQuarnLiveLinkSubjectSettings* Settings = NewObject<UQuarnLiveLinkSubjectSettings>();
				Settings->TrackingStatusText = TEXT("Optical Good");
				Client.AddSubject(FLiveLinkSubjectKey(Source, Name), Settings, ULiveLinkCameraRole::StaticClass());
				FLiveLinkQuarnFrameData Frame;
				Frame.FrameStatus = EQuarnTrackingStatus::OpticalGood;
				Frame.LensDataLevel = 1.f;
				Client.SetSubjectFrame(Name, FLiveLinkQuarnFrameData::StaticStruct(), &Frame);

				AQuarnCamera* Camera = NewObject<AQuarnCamera>();
				Camera->AddComponent<UQuarnLiveLinkComponentController>()->ControlledSubject = Name;
				Camera->CameraComponent->PostProcessSettings.AddBlendable(UMaterialInstanceDynamic::Create(Distortion, Camera), 1.f);
				Cameras.Add(Camera);
			}
		}
		UQuarnVPEditorSubsystem::Get()->SetCameras(Cameras);
	}

	void BM_TrackingAndLensEvaluation(benchmark::State& State)
	{
		const int32 NumSources = static_cast<int32>(State.range(0));
		const int32 NumSubjects = static_cast<int32>(State.range(1));
		BuildStudio(NumSources, NumSubjects);
		UQuarnStatusSubsystem* Subsystem = UQuarnStatusSubsystem::Get();
		FQuarnStatusSubsystemTestAccess::EvaluateTrackingAndLens(*Subsystem);
		if (Subsystem->TrackingStatus.Color != FLinearColor::Green || Subsystem->LensStatus.Color != FLinearColor::Green
			|| Subsystem->GetSnapshots().Num() != NumSources * NumSubjects)
		{
			State.SkipWithError("the studio does not evaluate to Green with one snapshot per subject");
			return;
		}
		for (auto _ : State)
		{
			FQuarnStatusSubsystemTestAccess::EvaluateTrackingAndLens(*Subsystem);
			benchmark::ClobberMemory();
		}
		State.counters["pairs"] = NumSources * NumSubjects;
	}

	const std::pair<int32, int32> Studios[] = {{1, 1}, {4, 16}, {16, 64}};
} // namespace

BENCHMARK(BM_TrackingAndLensEvaluation)->Args({1, 1})->Args({4, 16})->Args({16, 64})->Unit(benchmark::kMicrosecond);

int main(int ArgCount, char** Args)
{
	benchmark::Initialize(&ArgCount, Args);

	FHeadlessLiveLinkClient::Register();
	FHeadlessEngineLoop::Boot(BenchmarkEngineOptions("quarn-tracking-lens-benchmark-project", EBenchmarkModules::WithTrackingAndLens));
	UQuarnZentrelSubsystem::Get()->SetZentrelNum(1);

	FRatioReporter Reporter;
	benchmark::RunSpecifiedBenchmarks(&Reporter);
	FHeadlessEngineLoop::Shutdown();
	FHeadlessLiveLinkClient::Get().Reset();
	FHeadlessLiveLinkClient::Unregister();

	std::printf("\nstudio (sources x subjects)   per evaluation      per pair\n");
	double PerPair4x16 = 0.0;
	double PerPair16x64 = 0.0;
	for (const auto& [NumSources, NumSubjects] : Studios)
	{
		const std::string Name = "BM_TrackingAndLensEvaluation/" + std::to_string(NumSources) + "/" + std::to_string(NumSubjects);
		const double Microseconds = Reporter.Nanoseconds(Name) / 1000.0;
		if (Microseconds <= 0.0)
		{
			continue;
		}
		const double PerPair = Microseconds * 1000.0 / (NumSources * NumSubjects);
		std::printf("%4d x %-4d                 %10.2f us  %10.1f ns\n", NumSources, NumSubjects, Microseconds, PerPair);
		if (NumSources == 4)
		{
			PerPair4x16 = PerPair;
			std::printf("  share of a 60 fps frame (16.7 ms): %.4f %% (target < 1 %%)\n", Microseconds / 16700.0 * 100.0);
		}
		if (NumSources == 16)
		{
			PerPair16x64 = PerPair;
		}
	}
	if (PerPair4x16 > 0.0 && PerPair16x64 > 0.0)
	{
		std::printf("per-pair cost 16x64 / 4x16: %.2f (target within 2)\n", PerPair16x64 / PerPair4x16);
	}
	return 0;
}
