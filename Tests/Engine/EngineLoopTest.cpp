#include "Async/Async.h"
#include "EngineTestFixture.h"
#include "HeadlessEngineLoop.h"
#include "Misc/App.h"
#include "Tickable.h"

namespace
{
	class FCountingTickable final : public FTickableGameObject
	{
	public:
		explicit FCountingTickable(ETickableTickType InType, bool bInEditor = true)
			: Type(InType)
			, bInEditor(bInEditor)
		{
		}
		void Tick(float DeltaTime) override
		{
			++Ticks;
			LastDelta = DeltaTime;
		}
		ETickableTickType GetTickableTickType() const override { return Type; }
		bool IsTickable() const override { return bTickable; }
		bool IsTickableInEditor() const override { return bInEditor; }
		TStatId GetStatId() const override { return TStatId{this}; }

		ETickableTickType Type;
		bool bInEditor;
		bool bTickable = true;
		int32 Ticks = 0;
		float LastDelta = 0.f;
	};

	/** Counts its ticks where the count outlives it, so that a tick after its deletion shows. */
	class FExternallyCountedTickable final : public FTickableGameObject
	{
	public:
		explicit FExternallyCountedTickable(int32& InTicks)
			: Ticks(InTicks)
		{
		}
		void Tick(float DeltaTime) override { ++Ticks; }
		ETickableTickType GetTickableTickType() const override { return ETickableTickType::Always; }
		bool IsTickableInEditor() const override { return true; }
		TStatId GetStatId() const override { return TStatId{this}; }

	private:
		int32& Ticks;
	};

	class EngineLoop : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			ProjectDir = std::filesystem::temp_directory_path() / ("quarn-loop-" + std::to_string(::getpid()));
			FHeadlessEngineOptions Options;
			Options.ProjectDir = FString(ProjectDir.string());
			Options.TimecodeRate = FFrameRate(25, 1);
			FHeadlessEngineLoop::Boot(Options);
		}
		void TearDown() override
		{
			FHeadlessEngineLoop::Shutdown();
			std::filesystem::remove_all(ProjectDir);
		}
		std::filesystem::path ProjectDir;
	};
} // namespace

TEST_F(EngineLoop, TickTypesDecideWhoTicks)
{
	FCountingTickable Always(ETickableTickType::Always);
	FCountingTickable Never(ETickableTickType::Never);
	FCountingTickable Conditional(ETickableTickType::Conditional);
	FCountingTickable GameOnly(ETickableTickType::Always, false);
	Conditional.bTickable = false;
	FHeadlessEngineLoop::Tick(0.5);
	Conditional.bTickable = true;
	FHeadlessEngineLoop::Tick(0.25);
	EXPECT_EQ(Always.Ticks, 2);
	EXPECT_FLOAT_EQ(Always.LastDelta, 0.25f);
	EXPECT_EQ(Never.Ticks, 0);
	EXPECT_EQ(Conditional.Ticks, 1) << "a conditional object is asked every frame";
	EXPECT_EQ(GameOnly.Ticks, 0) << "the editor ticks only objects that are tickable in the editor";
}

TEST_F(EngineLoop, NewObjectTypeIsDecidedOnceFromIsTickable)
{
	FCountingTickable Decided(ETickableTickType::NewObject);
	FHeadlessEngineLoop::Tick(0.1);
	Decided.bTickable = false;
	FHeadlessEngineLoop::Tick(0.1);
	EXPECT_EQ(Decided.Ticks, 2);
}

TEST_F(EngineLoop, ADestroyedTickableIsNeverTickedAgain)
{
	int32 Ticks = 0;
	auto* Doomed = new FExternallyCountedTickable(Ticks);
	FHeadlessEngineLoop::Tick(0.1);
	delete Doomed;
	FHeadlessEngineLoop::Tick(0.1);
	EXPECT_EQ(Ticks, 1);
}

TEST_F(EngineLoop, QueuedGameThreadTasksRunBeforeTheTickInOrder)
{
	TArray<int32> Order;
	FCountingTickable Observer(ETickableTickType::Always);
	AsyncTask(ENamedThreads::GameThread, [&] { Order.Add(Observer.Ticks); });
	AsyncTask(ENamedThreads::GameThread, [&] { Order.Add(100 + Observer.Ticks); });
	FHeadlessEngineLoop::Tick(0.1);
	EXPECT_EQ(Order, (TArray<int32>{0, 100}));
	EXPECT_EQ(FGameThreadTasks::ProcessQueued(), 0) << "nothing left for the next frame";
}

TEST_F(EngineLoop, ApplicationTimeAndTimecodeAdvanceAfterTheTick)
{
	for (int32 Frame = 0; Frame < 50; ++Frame)
	{
		FHeadlessEngineLoop::Tick(0.04);
	}
	EXPECT_NEAR(FApp::GetCurrentTime(), 2.0, 1e-9);
	EXPECT_EQ(FApp::GetTimecode(), FTimecode(0, 0, 2, 0, false));
	EXPECT_EQ(FHeadlessEngineLoop::GetFrameNumber(), 50u);
}
