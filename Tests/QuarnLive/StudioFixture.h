#pragma once

// A booted editor (or game) whose studio passes every video and sync check, so that a test
// breaks exactly one thing and sees which check reports it. Evaluate() runs one periodic
// evaluation of the status subsystem through its tick.

#include "Engine/Engine.h"
#include "Engine/World.h"
#include "Misc/Paths.h"
#include "Modules/ModuleManager.h"
#include "QuarnCamera.h"
#include "QuarnEngineFixture.h"
#include "QuarnMediaEditorModule.h"
#include "QuarnMediaLayout.h"
#include "QuarnStatusPrinting.h"
#include "QuarnStatusSubsystem.h"
#include "QuarnVirtualProductionSettings.h"
#include "TimedDataMonitorSubsystem.h"

#include <filesystem>
#include <fstream>

class FQuarnStudioTest : public FQuarnEngineTest
{
protected:
	void SetUp() override
	{
		FQuarnEngineTest::SetUp();
		Subsystem = UQuarnStatusSubsystem::Get();
		ASSERT_NE(Subsystem, nullptr);
		World = NewObject<UWorld>();

		Settings = GetMutableDefault<UQuarnVirtualProductionSettings>();
		ASSERT_NE(Settings, nullptr);
		Settings->CompositingMode = EQuarnVirtualProductionMode::AugmentedReality;
		Settings->MediaFormat = TEXT("1080p25");
		Settings->MediaFormatKind = 0;
		Settings->MediaFrameRate = FFrameRate(25, 1);
		Settings->bHasTimeStep = true;
		Settings->bUseCustomTimecodeProvider = true;

		FQuarnMediaEditorState& Media = MediaModule().State;
		Media.bHasVideoCards = true;
		Media.InputFormat = TEXT("1080p25");
		Media.OutputFormat = TEXT("1080p25");
		Media.InputFrameRate = FFrameRate(25, 1);
		Media.OutputFrameRate = FFrameRate(25, 1);
		Media.NumInputAssets = 1;
		Media.NumOutputAssets = 1;
		Media.bInputPlaying = true;
		Media.bOutputCapturing = true;
		Media.InputDescription = TEXT("DeckLink 8K Pro (1) 1080p25");
		Media.OutputDescription = TEXT("DeckLink 8K Pro (2) 1080p25");
		SetLayout(1, 1);

		SetCameras(1);
		WriteMediaAsset(TEXT("Quarn/Media/QuarnMediaBundle.uasset"));

		if (UQuarnMediaEditorSubsystem* MediaEditor = UQuarnMediaEditorSubsystem::Get())
		{
			MediaEditor->SetTimeStepSynchronized(true);
			MediaEditor->SetProviderSynchronized(true);
		}
		if (UTimedDataMonitorSubsystem* Monitor = GEngine->GetEngineSubsystem<UTimedDataMonitorSubsystem>())
		{
			Monitor->SetEvaluationState(ETimedDataMonitorEvaluationState::Synchronized);
		}
	}

	void TearDown() override
	{
		UQuarnVirtualProductionSettings::StaticClass()->SetDefaultObjectSuppressed(false);
		UTimedDataMonitorSubsystem::SetAvailable(true);
		FQuarnEngineTest::TearDown();
	}

	void BeforeBoot() override
	{
		if (bLoadTimedDataMonitor)
		{
			FModuleManager::Get().LoadModule(TEXT("TimedDataMonitor"));
		}
	}

	/** One periodic evaluation of all four legs. */
	void Evaluate() { Subsystem->Tick(Subsystem->UpdateInterval + 1.f); }

	static FQuarnMediaEditorModule& MediaModule() { return FQuarnMediaEditorModule::Get(); }

	static void SetLayout(int32 NumInputs, int32 NumOutputs)
	{
		UQuarnMediaLayout* Layout = GEngine->GetEngineSubsystem<UQuarnVPEngineSubsystem>()->GetModeMediaLayout();
		Layout->NumInputs = NumInputs;
		Layout->NumOutputs = NumOutputs;
	}

	/** Replaces the cameras of the subsystem this run asks (editor or engine) by Count new ones. */
	TArray<AQuarnCamera*> SetCameras(int32 Count)
	{
		TArray<AQuarnCamera*> Cameras;
		for (int32 Index = 0; Index < Count; ++Index)
		{
			Cameras.Add(World->SpawnActor<AQuarnCamera>());
		}
		if (bEditor)
		{
			GEngine->GetEngineSubsystem<UQuarnVPEditorSubsystem>()->SetCameras(Cameras);
		}
		else
		{
			GEngine->GetEngineSubsystem<UQuarnVPEngineSubsystem>()->SetCameras(Cameras);
		}
		return Cameras;
	}

	static void WriteMediaAsset(const FString& RelativePath)
	{
		const std::filesystem::path File = (FPaths::ProjectContentDir() + RelativePath).ToStdString();
		std::filesystem::create_directories(File.parent_path());
		std::ofstream(File) << "{ \"Class\": \"/Script/MediaAssets.FileMediaSource\" }\n";
	}

	static void RemoveMediaAssets() { std::filesystem::remove_all((FPaths::ProjectContentDir() + TEXT("Quarn")).ToStdString()); }

	static FQuarnStatus Status(const FLinearColor& Color, const FString& Message)
	{
		FQuarnStatus Result;
		Result.Color = Color;
		Result.Message = Message;
		return Result;
	}

	bool bLoadTimedDataMonitor = true;
	UQuarnStatusSubsystem* Subsystem = nullptr;
	UQuarnVirtualProductionSettings* Settings = nullptr;
	UWorld* World = nullptr;
};

/** The same studio, booted as a game rather than the editor. */
template <typename StudioFixture>
class TGameRunOf : public StudioFixture
{
protected:
	void BeforeBoot() override
	{
		this->bEditor = false;
		StudioFixture::BeforeBoot();
	}
};
