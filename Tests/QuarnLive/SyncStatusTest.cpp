#include "StudioFixture.h"

namespace
{
	const FString GenlockDisabled = TEXT("Has TimeStep (Genlock) is disabled in the QuarnPranto settings");
	const FString TimeStepFailed = TEXT("Using a Custom Timestep (genlock) but it has failed to Synchronize. Check the Custom Timestep settings and Reinitialise in the Genlock panel. Review the Output Log for more details.");
	const FString ProviderFailed = TEXT("Using a custom Timecode Provider but it has failed to Synchronize. Check Timecode Provider configuration in settings and Video Controller. Review the Output Log for more details.");
	const FString ModuleNotLoaded = TEXT("Timed Data Monitor module is not loaded. Check that the plugin is enabled");

	class SyncStatusTest : public FQuarnStudioTest
	{
	protected:
		static UQuarnMediaEditorSubsystem& MediaEditor() { return *GEngine->GetEngineSubsystem<UQuarnMediaEditorSubsystem>(); }
		static UTimedDataMonitorSubsystem* Monitor() { return GEngine->GetEngineSubsystem<UTimedDataMonitorSubsystem>(); }
	};

	using SyncCheckOrder = SyncStatusTest;
	using SyncMonitorState = SyncStatusTest;

	using SyncGameRun = TGameRunOf<SyncStatusTest>;

	class SyncWithoutMonitorModule : public SyncStatusTest
	{
	protected:
		void BeforeBoot() override { bLoadTimedDataMonitor = false; }
	};

	class SyncWithoutMonitorSubsystem : public SyncStatusTest
	{
	protected:
		void BeforeBoot() override
		{
			UTimedDataMonitorSubsystem::SetAvailable(false);
			SyncStatusTest::BeforeBoot();
		}
	};
} // namespace

TEST_F(SyncCheckOrder, DisabledGenlockIsTheOnlyFindingWhateverElseIsWrong)
{
	Settings->bHasTimeStep = false;
	UQuarnMediaEditorSubsystem::SetAvailable(false);
	Monitor()->SetEvaluationState(ETimedDataMonitorEvaluationState::NoSources);
	Evaluate();
	EXPECT_EQ(Subsystem->SyncStatus, Status(FLinearColor::Yellow, GenlockDisabled));
	EXPECT_EQ(MediaEditor().GetTimeStepQueryCount(), 0);
}

TEST_F(SyncCheckOrder, MissingMediaEditorSubsystemIsAnError)
{
	UQuarnMediaEditorSubsystem::SetAvailable(false);
	Evaluate();
	EXPECT_EQ(Subsystem->SyncStatus, Status(FLinearColor::Red, TEXT("No valid Quarn Media Editor Subsystem")));
}

TEST_F(SyncCheckOrder, UnsynchronisedTimeStepInTheEditorStopsBeforeTheProvider)
{
	MediaEditor().SetTimeStepSynchronized(false);
	MediaEditor().SetProviderSynchronized(false);
	Evaluate();
	EXPECT_EQ(Subsystem->SyncStatus, Status(FLinearColor::Red, TimeStepFailed));
	EXPECT_EQ(MediaEditor().GetProviderQueryCount(), 0);
}

TEST_F(SyncCheckOrder, UnsynchronisedProviderIsReportedOnlyWhenOneIsConfigured)
{
	MediaEditor().SetProviderSynchronized(false);
	Evaluate();
	EXPECT_EQ(Subsystem->SyncStatus, Status(FLinearColor::Red, ProviderFailed));

	Settings->bUseCustomTimecodeProvider = false;
	const int32 QueriesBefore = MediaEditor().GetProviderQueryCount();
	Evaluate();
	EXPECT_EQ(Subsystem->SyncStatus, Status(FLinearColor::Green, TEXT("")));
	EXPECT_EQ(MediaEditor().GetProviderQueryCount(), QueriesBefore) << "the provider is not asked";
}

TEST_F(SyncCheckOrder, MissingSettingsSkipBothConfigurationChecksSilently)
{
	UQuarnVirtualProductionSettings::StaticClass()->SetDefaultObjectSuppressed(true);
	MediaEditor().SetProviderSynchronized(false);
	Evaluate();
	EXPECT_EQ(Subsystem->SyncStatus, Status(FLinearColor::Green, TEXT("")));
	EXPECT_EQ(MediaEditor().GetTimeStepQueryCount(), 1);
	EXPECT_EQ(MediaEditor().GetProviderQueryCount(), 0);
}

TEST_F(SyncGameRun, TheTimeStepIsNotCheckedButTheProviderIs)
{
	MediaEditor().SetTimeStepSynchronized(false);
	Evaluate();
	EXPECT_EQ(Subsystem->SyncStatus, Status(FLinearColor::Green, TEXT("")));
	EXPECT_EQ(MediaEditor().GetTimeStepQueryCount(), 0);

	MediaEditor().SetProviderSynchronized(false);
	Evaluate();
	EXPECT_EQ(Subsystem->SyncStatus, Status(FLinearColor::Red, ProviderFailed));
}

TEST_F(SyncWithoutMonitorModule, AMonitorModuleThatIsNotLoadedIsAWarning)
{
	ASSERT_FALSE(FModuleManager::Get().IsModuleLoaded(TEXT("TimedDataMonitor")));
	ASSERT_EQ(Monitor(), nullptr) << "its subsystem exists only with the module";
	Evaluate();
	EXPECT_EQ(Subsystem->SyncStatus, Status(FLinearColor::Yellow, ModuleNotLoaded));
}

TEST_F(SyncWithoutMonitorSubsystem, AMissingMonitorSubsystemIsAnErrorToReport)
{
	ASSERT_TRUE(FModuleManager::Get().IsModuleLoaded(TEXT("TimedDataMonitor")));
	ASSERT_EQ(Monitor(), nullptr);
	Evaluate();
	EXPECT_EQ(Subsystem->SyncStatus, Status(FLinearColor::Red, TEXT("Timed Data Monitor sub system is not loaded. Please report this to support@quarn.example")));
}

TEST_F(SyncMonitorState, EachEvaluationStateHasItsColourAndMessage)
{
	struct FCase
	{
		uint8 State;
		FQuarnStatus Expected;
	};
	const FCase Cases[] = {
		{0, Status(FLinearColor::Red, TEXT("The Timed Data Monitor has no sources - check the panel. You should see UDP and video inputs there (if you have them)."))},
		{1, Status(FLinearColor::Red, TEXT("The Timed Data Monitor is not synchronized - check the panel. This error may be a result of performance issues. Use 'stat gpu' and 'profilegpu' in the console to review your scene's performance."))},
		{2, Status(FLinearColor::Green, TEXT(""))},
		{3, Status(FLinearColor::Yellow, TEXT("The Timed Data Monitor is disabled - check the panel."))},
		{4, Status(FLinearColor::Green, TEXT(""))},
		{255, Status(FLinearColor::Green, TEXT(""))},
	};
	for (const FCase& Case : Cases)
	{
		Monitor()->SetEvaluationState(static_cast<ETimedDataMonitorEvaluationState>(Case.State));
		Evaluate();
		EXPECT_EQ(Subsystem->SyncStatus, Case.Expected) << "state " << int(Case.State);
	}
}

TEST_F(SyncMonitorState, AFailedTimeStepHidesAnUnhealthyMonitor)
{
	Monitor()->SetEvaluationState(ETimedDataMonitorEvaluationState::NotSynchronized);
	MediaEditor().SetTimeStepSynchronized(false);
	Evaluate();
	EXPECT_EQ(Subsystem->SyncStatus, Status(FLinearColor::Red, TimeStepFailed));
}
