// Broadcast on a master to the follower's game-thread event, with the follower's engine loop
// running uncapped and at 60 fps, against the raw UDP one-way floor measured in the same run.
// Prints p50/p99, the ratios and how many frames the event took; a measurement, not a test.

#include "BenchmarkEngine.h"
#include "HeadlessEngineLoop.h"
#include "QuarnMultiEngineSubsystem.h"
#include "QuarnVirtualProductionServer.h"
#include "QuietServerDelegate.h"
#include "ServerNode.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace
{
	using Clock = std::chrono::steady_clock;

	const std::string FollowerAddress = "127.77.0.1";
	const std::string MasterAddress = "127.77.0.2";

	double Microseconds(Clock::duration Duration)
	{
		return std::chrono::duration<double, std::micro>(Duration).count();
	}

	struct FPercentiles
	{
		double P50 = 0.0;
		double P99 = 0.0;
	};

	FPercentiles Percentiles(std::vector<double> Values)
	{
		std::sort(Values.begin(), Values.end());
		return Values.empty() ? FPercentiles{} : FPercentiles{Values[Values.size() / 2], Values[std::min(Values.size() - 1, Values.size() * 99 / 100)]};
	}

	int BoundSocket(const std::string& Address)
	{
		const int Socket = ::socket(AF_INET, SOCK_DGRAM, 0);
		sockaddr_in Local{};
		Local.sin_family = AF_INET;
		::inet_pton(AF_INET, Address.c_str(), &Local.sin_addr);
		::bind(Socket, reinterpret_cast<sockaddr*>(&Local), sizeof(Local));
		return Socket;
	}

	/** One datagram from one socket to another and its blocking receive: the floor. */
	FPercentiles RawOneWay(int Samples)
	{
		const int Sender = BoundSocket(MasterAddress);
		const int Receiver = BoundSocket(FollowerAddress);
		sockaddr_in Target{};
		socklen_t Length = sizeof(Target);
		::getsockname(Receiver, reinterpret_cast<sockaddr*>(&Target), &Length);
		std::vector<double> Times;
		char Buffer[64] = {};
		for (int Index = 0; Index < Samples; ++Index)
		{
			const Clock::time_point Start = Clock::now();
			::sendto(Sender, Buffer, 32, 0, reinterpret_cast<sockaddr*>(&Target), sizeof(Target));
			::recv(Receiver, Buffer, sizeof(Buffer), 0);
			Times.push_back(Microseconds(Clock::now() - Start));
		}
		::close(Sender);
		::close(Receiver);
		return Percentiles(Times);
	}

	/** A master of its own that always sends to the follower engine. */
	class FMaster final : public QuietServerDelegate
	{
	public:
		FMaster()
			: QuietServerDelegate(FollowerAddress)
		{
		}
	};

	struct FEventRun
	{
		FPercentiles Latency;
		int MaxFrames = 0;
		int Missed = 0;
	};

	/** Broadcasts one command at a time and runs engine frames until the follower raised it. */
	FEventRun MeasureEvents(quarn::ServerNode& Master, IEngineClock& EngineClock, int Samples)
	{
		UQuarnMultiEngineSubsystem* Follower = UQuarnMultiEngineSubsystem::Get();
		int32 LastRaised = -1;
		const FDelegateHandle Handle = Follower->OnrReceiveCustomInt().AddLambda([&LastRaised](int32 Value) { LastRaised = Value; });
		FEventRun Run;
		std::vector<double> Times;
		for (int Index = 0; Index < Samples; ++Index)
		{
			const Clock::time_point Start = Clock::now();
			Master.broadcastTriggerCustomInt(Index);
			int Frames = 0;
			const Clock::time_point GiveUp = Start + std::chrono::seconds(1);
			while (LastRaised != Index && Clock::now() < GiveUp)
			{
				FHeadlessEngineLoop::Tick(EngineClock.WaitForNextFrame());
				++Frames;
			}
			if (LastRaised != Index)
			{
				++Run.Missed;
				continue;
			}
			Times.push_back(Microseconds(Clock::now() - Start));
			Run.MaxFrames = std::max(Run.MaxFrames, Frames);
		}
		Follower->OnrReceiveCustomInt().Remove(Handle);
		Run.Latency = Percentiles(Times);
		return Run;
	}

	void PrintRun(const char* Name, const FEventRun& Run, const FPercentiles& Floor)
	{
		std::printf("%-40s p50 %9.1f us  p99 %9.1f us  p50 ratio to raw %7.1f  missed %d\n", Name, Run.Latency.P50, Run.Latency.P99,
			Floor.P50 > 0.0 ? Run.Latency.P50 / Floor.P50 : 0.0, Run.Missed);
	}
} // namespace

int main()
{
	const FPercentiles Floor = RawOneWay(2000);
	std::printf("%-40s p50 %9.1f us  p99 %9.1f us\n", "raw UDP one-way (floor)", Floor.P50, Floor.P99);

	quarn::ServerConfig FollowerConfig;
	FollowerConfig.bindAddress = FollowerAddress;
	quarn::QuarnVirtualProductionServer::instance().setConfig(FollowerConfig);
	FHeadlessEngineLoop::Boot(BenchmarkEngineOptions("quarn-game-thread-benchmark", EBenchmarkModules::WithTrackingAndLens));
	UQuarnMultiEngineSubsystem* Follower = UQuarnMultiEngineSubsystem::Get();
	if (!Follower || !Follower->IsEnabled() || Follower->IsMaster())
	{
		std::fprintf(stderr, "the follower engine did not start its server on %s\n", FollowerAddress.c_str());
		FHeadlessEngineLoop::Shutdown();
		return 1;
	}

	FMaster MasterDelegate;
	quarn::ServerNode Master;
	quarn::ServerConfig MasterConfig;
	MasterConfig.bindAddress = MasterAddress;
	Master.setConfig(MasterConfig);
	if (!Master.start(&MasterDelegate, 10001, 10001))
	{
		std::fprintf(stderr, "the master could not start: %s\n", Master.lastError().c_str());
		FHeadlessEngineLoop::Shutdown();
		return 1;
	}

	FRealTimeClock Uncapped(0.0);
	PrintRun("broadcast -> game-thread event, uncapped", MeasureEvents(Master, Uncapped, 2000), Floor);
	FRealTimeClock SixtyFps(60.0);
	const FEventRun Paced = MeasureEvents(Master, SixtyFps, 120);
	PrintRun("broadcast -> game-thread event, 60 fps", Paced, Floor);
	std::printf("at 60 fps the slowest event took %d frame(s) after its broadcast (target: within the next frame, 1)\n", Paced.MaxFrames);

	Master.stop();
	FHeadlessEngineLoop::Shutdown();
	return 0;
}
