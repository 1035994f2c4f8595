#include "Editor.h"
#include "Engine/Engine.h"
#include "QuarnLiveFunctionLibrary.h"
#include "StudioFixture.h"

#include <fstream>

namespace
{
	using LiveFunctionLibrary = FQuarnStudioTest;

	FQuarnLiveStatus MarkedStatus()
	{
		FQuarnLiveStatus Status;
		Status.TrackingStatus.Message = TEXT("untouched");
		return Status;
	}
} // namespace

TEST(LiveFunctionLibraryWithoutEngine, LeavesModeAndStatusAsTheyWere)
{
	ASSERT_EQ(GEngine, nullptr);
	FQuarnLiveStatus Status;
	UQuarnLiveFunctionLibrary::GetStatus(Status);
	EXPECT_EQ(Status, FQuarnLiveStatus());
	EXPECT_EQ(Status.SyncStatus, FQuarnStatus()) << "four Red statuses with empty messages";

	FString Mode;
	UQuarnLiveFunctionLibrary::GetMode(Mode);
	EXPECT_TRUE(Mode.IsEmpty());

	FQuarnLiveStatus Marked = MarkedStatus();
	UQuarnLiveFunctionLibrary::GetStatus(Marked);
	EXPECT_EQ(Marked, MarkedStatus());
	FString Previous = TEXT("Virtual Studio");
	UQuarnLiveFunctionLibrary::GetMode(Previous);
	EXPECT_TRUE(Previous.Equals(TEXT("Virtual Studio"), ESearchCase::CaseSensitive));
}

TEST_F(LiveFunctionLibrary, VersionIsThePluginDescriptorsVersionName)
{
	const FString PluginDir = FString(ProjectDir.string()) + TEXT("/Plugin/");
	std::filesystem::create_directories(PluginDir.ToStdString());
	std::ofstream(PluginDir.ToStdString() + "QuarnPranto.uplugin") << "{ \"FileVersion\": 3, \"VersionName\": \"2.7.1-beta\" }\n";
	FPaths::SetPluginDir(PluginDir);

	FString Version = TEXT("overwritten");
	UQuarnLiveFunctionLibrary::GetVersion(Version);
	EXPECT_TRUE(Version.Equals(TEXT("2.7.1-beta"), ESearchCase::CaseSensitive)) << Version.ToStdString();
}

TEST_F(LiveFunctionLibrary, ModeIsTheDisplayNameAndRefreshesTheCachedMode)
{
	Settings->CompositingMode = EQuarnVirtualProductionMode::KeyAndFill;
	FString Mode;
	UQuarnLiveFunctionLibrary::GetMode(Mode);
	EXPECT_TRUE(Mode.Equals(TEXT("Key And Fill"), ESearchCase::CaseSensitive)) << Mode.ToStdString();
	EXPECT_EQ(Subsystem->CachedMode, EQuarnVirtualProductionMode::KeyAndFill);
}

TEST_F(LiveFunctionLibrary, StatusCopiesTheFourStatusesColourAndMessage)
{
	Subsystem->TrackingStatus = Status(FLinearColor::Green, TEXT(""));
	Subsystem->LensStatus = Status(FLinearColor::Yellow, TEXT("lens"));
	Subsystem->VideoStatus = Status(FLinearColor(0.1f, 0.2f, 0.3f, 1.f), TEXT("video"));
	Subsystem->SyncStatus = Status(FLinearColor::Red, TEXT("sync"));
	Subsystem->VideoInput = Status(FLinearColor::Green, TEXT("not part of the live status"));

	FQuarnLiveStatus Status;
	UQuarnLiveFunctionLibrary::GetStatus(Status);
	EXPECT_EQ(Status.TrackingStatus, Subsystem->TrackingStatus);
	EXPECT_EQ(Status.LensStatus, Subsystem->LensStatus);
	EXPECT_EQ(Status.VideoStatus, Subsystem->VideoStatus);
	EXPECT_EQ(Status.SyncStatus, Subsystem->SyncStatus);

	FQuarnLiveStatus Again;
	UQuarnLiveFunctionLibrary::GetStatus(Again);
	EXPECT_EQ(Again, Status) << "no evaluation in between";
}

TEST_F(LiveFunctionLibrary, StatusDuringPlayShowsAnOverride)
{
	FEditorDelegates::BeginPIE.Broadcast(false);
	Subsystem->OverrideLensStatus(Status(FLinearColor::Yellow, TEXT("Lens file is stale")));
	FQuarnLiveStatus Live;
	UQuarnLiveFunctionLibrary::GetStatus(Live);
	EXPECT_EQ(Live.LensStatus, Status(FLinearColor::Yellow, TEXT("Lens file is stale")));
	FEditorDelegates::EndPIE.Broadcast(false);
}

TEST_F(LiveFunctionLibrary, StatusFollowsAnEvaluation)
{
	MediaModule().State.bHasVideoCards = false;
	Evaluate();
	FQuarnLiveStatus Live;
	UQuarnLiveFunctionLibrary::GetStatus(Live);
	EXPECT_EQ(Live.VideoStatus, Subsystem->VideoStatus);
	EXPECT_TRUE(Live.VideoStatus.Message.StartsWith(TEXT("No video cards detected"), ESearchCase::CaseSensitive));
}
