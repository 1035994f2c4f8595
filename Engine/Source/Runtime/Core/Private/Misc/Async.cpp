#include "Async/Async.h"

#include <deque>
#include <mutex>
#include <thread>

namespace
{
	// Filled from any thread (network callbacks), drained on the game thread.
	struct FTaskQueue
	{
		std::mutex Lock;
		std::deque<TUniqueFunction<void()>> Tasks;
	};

	FTaskQueue& GetQueue()
	{
		static FTaskQueue* Queue = new FTaskQueue();
		return *Queue;
	}

	std::thread::id& GameThreadId()
	{
		static std::thread::id Id = std::this_thread::get_id();
		return Id;
	}
} // namespace

void AsyncTask(ENamedThreads::Type Thread, TUniqueFunction<void()> Function)
{
	check(Thread == ENamedThreads::GameThread);
	FTaskQueue& Queue = GetQueue();
	std::lock_guard<std::mutex> Guard(Queue.Lock);
	Queue.Tasks.push_back(std::move(Function));
}

int32 FGameThreadTasks::ProcessQueued()
{
	std::deque<TUniqueFunction<void()>> Ready;
	{
		FTaskQueue& Queue = GetQueue();
		std::lock_guard<std::mutex> Guard(Queue.Lock);
		Ready.swap(Queue.Tasks);
	}
	for (TUniqueFunction<void()>& Task : Ready)
	{
		Task();
	}
	return static_cast<int32>(Ready.size());
}

void FGameThreadTasks::DiscardAll()
{
	std::deque<TUniqueFunction<void()>> Dropped;
	FTaskQueue& Queue = GetQueue();
	std::lock_guard<std::mutex> Guard(Queue.Lock);
	Dropped.swap(Queue.Tasks);
}

bool IsInGameThread()
{
	return std::this_thread::get_id() == GameThreadId();
}

void SetGameThreadToCurrent()
{
	GameThreadId() = std::this_thread::get_id();
}
