#include "CoreMinimal.h"
#include "Engine/Engine.h"
#include "Engine/World.h"
#include "HeadlessEngineLoop.h"
#include "Misc/Paths.h"
#include "QuarnCamera.h"
#include "QuarnMediaEditorModule.h"
#include "QuarnMediaEditorSubsystem.h"
#include "QuarnMediaLayout.h"
#include "QuarnVPEditorSubsystem.h"
#include "QuarnVPEngineSubsystem.h"
#include "QuarnVirtualProductionModule.h"
#include "QuarnZentrelSubsystem.h"
#include "StandInAvailability.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

// Boots the headless engine with the stand-in modules only; the availability switches are
// process-wide, so every test starts and ends with all stand-ins available.
class StandInSubsystems : public ::testing::Test
{
protected:
	void SetUp() override
	{
		ProjectDir = MakeTestFolder("quarn-standin-test");
		MakeEveryStandInAvailable();
	}

	void TearDown() override
	{
		FHeadlessEngineLoop::Shutdown();
		MakeEveryStandInAvailable();
		std::filesystem::remove_all(ProjectDir);
	}

	void Boot(bool bEditor = true)
	{
		FHeadlessEngineOptions Options;
		Options.bEditor = bEditor;
		Options.ProjectDir = FString(ProjectDir.string() + "/");
		Options.PluginDir = Options.ProjectDir;
		Options.Modules = {TEXT("QuarnVirtualProduction"), TEXT("QuarnVirtualProductionEditor"), TEXT("QuarnMediaEditor")};
		FHeadlessEngineLoop::Boot(Options);
	}

	void WriteDescriptor(const std::string& Text) const { std::ofstream(ProjectDir / "QuarnPranto.uplugin") << Text; }

	std::filesystem::path ProjectDir;
};

TEST_F(StandInSubsystems, SubsystemSwitchedOffAtBootIsMissingUntilBroughtBack)
{
	UQuarnZentrelSubsystem::SetAvailable(false);
	Boot();

	EXPECT_EQ(UQuarnZentrelSubsystem::Get(), nullptr);
	EXPECT_EQ(GEngine->GetEngineSubsystem<UQuarnZentrelSubsystem>(), nullptr);
	EXPECT_NE(UQuarnVPEngineSubsystem::Get(), nullptr);

	UQuarnZentrelSubsystem::SetAvailable(true);
	EXPECT_NE(UQuarnZentrelSubsystem::Get(), nullptr);
}

TEST_F(StandInSubsystems, SubsystemTakenAwayWhileRunningComesBackWithItsState)
{
	Boot();
	UQuarnZentrelSubsystem* Zentrel = UQuarnZentrelSubsystem::Get();
	ASSERT_NE(Zentrel, nullptr);
	Zentrel->SetZentrelNum(3);

	UQuarnZentrelSubsystem::SetAvailable(false);
	EXPECT_EQ(UQuarnZentrelSubsystem::Get(), nullptr);

	UQuarnZentrelSubsystem::SetAvailable(true);
	ASSERT_EQ(UQuarnZentrelSubsystem::Get(), Zentrel);
	EXPECT_EQ(Zentrel->GetZentrelNum(), 3);
}

TEST_F(StandInSubsystems, EditorSubsystemExistsOnlyInEditorRuns)
{
	Boot(false);

	EXPECT_EQ(UQuarnVPEditorSubsystem::Get(), nullptr);
	UQuarnVPEngineSubsystem* VPEngine = UQuarnVPEngineSubsystem::Get();
	ASSERT_NE(VPEngine, nullptr);
	ASSERT_NE(VPEngine->GetModeMediaLayout(), nullptr);
	EXPECT_EQ(VPEngine->GetModeMediaLayout()->GetNumInputs(), 1);
}

TEST_F(StandInSubsystems, CameraListsKeepDestroyedCamerasAsStaleEntries)
{
	Boot();
	UWorld* World = NewObject<UWorld>();
	AQuarnCamera* Kept = World->SpawnActor<AQuarnCamera>();
	AQuarnCamera* Destroyed = World->SpawnActor<AQuarnCamera>();
	UQuarnVPEditorSubsystem::Get()->SetCameras({Kept, Destroyed});
	Destroyed->Destroy();

	TArray<TWeakObjectPtr<AQuarnCamera>> Cameras;
	UQuarnVPEditorSubsystem::Get()->GetQuarnCameras(Cameras);

	ASSERT_EQ(Cameras.Num(), 2);
	EXPECT_EQ(Cameras[0].Get(), Kept);
	EXPECT_FALSE(Cameras[1].IsValid());
	ASSERT_NE(Kept->CameraComponent, nullptr);
	EXPECT_EQ(Kept->FindComponentByClass<UCineCameraComponent>(), Kept->CameraComponent);
}

TEST_F(StandInSubsystems, ActiveCameraIsBroadcastAndItsQueriesCounted)
{
	Boot();
	UQuarnVPEditorSubsystem* Editor = UQuarnVPEditorSubsystem::Get();
	AActor* Camera = NewObject<UWorld>()->SpawnActor<AQuarnCamera>();
	TArray<AActor*> Broadcast;
	Editor->OnActiveCameraChangedDelegate.AddLambda([&Broadcast](TWeakObjectPtr<AActor> Actor) { Broadcast.Add(Actor.Get()); });

	Editor->SetActiveCamera(Camera);

	EXPECT_EQ(Broadcast, TArray<AActor*>({Camera}));
	EXPECT_EQ(Editor->GetQuarnCameraCallCount(), 0);
	EXPECT_EQ(Editor->GetQuarnCamera(), Camera);
	EXPECT_EQ(Editor->GetQuarnCameraCallCount(), 1);
}

TEST_F(StandInSubsystems, SynchronisationEventsUpdateTheStateTheyReport)
{
	Boot();
	UQuarnMediaEditorSubsystem* Media = UQuarnMediaEditorSubsystem::Get();
	TArray<EQuarnMediaTimeStepSynchronizationState> Seen;
	Media->OnBundleTimeStepSynchronizedStateChanged().AddLambda([&Seen](EQuarnMediaTimeStepSynchronizationState State) { Seen.Add(State); });

	Media->RaiseTimeStepStateChanged(EQuarnMediaTimeStepSynchronizationState::Synchronized);
	EXPECT_TRUE(Media->IsTimeStepSynchronized());
	Media->RaiseTimeStepStateChanged(EQuarnMediaTimeStepSynchronizationState::Error);
	EXPECT_FALSE(Media->IsTimeStepSynchronized());
	Media->RaiseProviderStateChanged(EQuarnMediaProviderSynchronizationState::Synchronized);
	EXPECT_TRUE(Media->IsProviderSynchronized());

	EXPECT_EQ(Seen, TArray<EQuarnMediaTimeStepSynchronizationState>({EQuarnMediaTimeStepSynchronizationState::Synchronized, EQuarnMediaTimeStepSynchronizationState::Error}));
}

TEST_F(StandInSubsystems, MediaModuleCountsEachQueryByName)
{
	Boot();
	FQuarnMediaEditorModule& Module = FQuarnMediaEditorModule::Get();
	Module.State.bHasVideoCards = true;
	Module.State.bFormatsReadable = false;
	IQuarnMediaEditorModule& Interface = IQuarnMediaEditorModule::Get();

	EXPECT_TRUE(Interface.HasVideoCards());
	EXPECT_TRUE(Interface.HasVideoCards());
	FString Input = TEXT("unchanged");
	FString Output;
	EXPECT_FALSE(Interface.GetMediaIOFormats(Input, Output));
	EXPECT_EQ(Input, TEXT("unchanged"));

	EXPECT_EQ(Module.GetQueryCount(TEXT("HasVideoCards")), 2);
	EXPECT_EQ(Module.GetQueryCount(TEXT("GetMediaIOFormats")), 1);
	EXPECT_EQ(Module.GetQueryCount(TEXT("GetSignalStates")), 0);
	Module.ResetQueryCounts();
	EXPECT_EQ(Module.GetQueryCount(TEXT("HasVideoCards")), 0);
}

TEST_F(StandInSubsystems, PluginVersionComesFromTheDescriptor)
{
	Boot();
	IQuarnVirtualProductionModule& Module = IQuarnVirtualProductionModule::Get();
	EXPECT_EQ(Module.GetPluginVersion(), TEXT("0.0.0"));

	WriteDescriptor("{\n\t\"FileVersion\": 3,\n\t\"VersionName\" : \"2.4.1\",\n\t\"Modules\": []\n}\n");
	EXPECT_EQ(Module.GetPluginVersion(), TEXT("2.4.1"));

	WriteDescriptor("{ \"FileVersion\": 3, \"Version\": 1 }");
	EXPECT_EQ(Module.GetPluginVersion(), TEXT("0.0.0"));
}
