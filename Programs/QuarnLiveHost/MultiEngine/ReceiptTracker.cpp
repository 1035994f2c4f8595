#include "MultiEngine/ReceiptTracker.h"

#include "Async/Async.h"
#include "CoreGlobals.h"
#include "HeadlessEngineLoop.h"
#include "Misc/App.h"
#include "Misc/CoreMisc.h"
#include "QuarnMultiEngineSubsystem.h"
#include "ServerNode.h"

#include <cstring>

namespace quarnlive::multiengine
{
	ReceiptTracker::ReceiptTracker(quarn::ServerNode& server)
		: state_(std::make_shared<State>(State{server}))
	{
	}

	void ReceiptTracker::countEvents(UQuarnMultiEngineSubsystem& subsystem)
	{
		// One of these fires for every command the subsystem raises.
		const std::weak_ptr<State> weak = state_;
		const auto count = [weak](auto&&...) {
			if (const std::shared_ptr<State> state = weak.lock())
			{
				++state->raised;
			}
		};
		subsystem.OnPlay().AddLambda(count);
		subsystem.OnStop().AddLambda(count);
		subsystem.OnStartRecord().AddLambda(count);
		subsystem.OnStopRecord().AddLambda(count);
		subsystem.OnSelectCamera().AddLambda(count);
		subsystem.OnSelectCameraXR().AddLambda(count);
		subsystem.OnSelectLevel().AddLambda(count);
		subsystem.OnAnimationKey().AddLambda(count);
		subsystem.OnrReceiveCustom().AddLambda(count);
		subsystem.OnrReceiveCustomEight().AddLambda(count);
		subsystem.OnrReceiveCustomTransform().AddLambda(count);
		subsystem.OnrReceiveCustomInt().AddLambda(count);
	}

	quarn::CommandOutcome ReceiptTracker::outcomeOf(State& state, const quarn::DeliveryTicket& ticket)
	{
		const bool raised = state.raised != state.raisedAtLastMarker;
		state.raisedAtLastMarker = state.raised;
		if (raised)
		{
			return quarn::CommandOutcome::Raised;
		}
		// The subsystem's own checks, in its order, tell why it raised nothing.
		UQuarnMultiEngineSubsystem* subsystem = UQuarnMultiEngineSubsystem::Get();
		if (!subsystem)
		{
			return quarn::CommandOutcome::SubsystemGone;
		}
		if (!subsystem->IsEnabled())
		{
			return quarn::CommandOutcome::Disabled;
		}
		if (subsystem->IsMaster())
		{
			return quarn::CommandOutcome::Master;
		}
		const bool playOrStop = std::strcmp(ticket.command, "/quarn/play") == 0 || std::strcmp(ticket.command, "/quarn/stop") == 0;
		if (playOrStop && IsRunningGame())
		{
			return quarn::CommandOutcome::RunningAsGame;
		}
		return quarn::CommandOutcome::SubsystemGone;
	}

	void ReceiptTracker::track(const quarn::DeliveryTicket& ticket) const
	{
		AsyncTask(ENamedThreads::GameThread, [state = state_, ticket]() {
			const quarn::CommandOutcome outcome = outcomeOf(*state, ticket);
			const FTimecode timecode = FApp::GetTimecode();
			const float framesPerSecond = static_cast<float>(FApp::GetTimecodeFrameRate().AsDecimal());
			state->server.reportApplied(ticket, outcome, static_cast<uint32_t>(FHeadlessEngineLoop::GetFrameNumber()),
				quarn::Timecode(static_cast<uint32_t>(timecode.Hours), static_cast<uint32_t>(timecode.Minutes), static_cast<uint32_t>(timecode.Seconds),
					static_cast<uint32_t>(timecode.Frames), quarn::FrameRate(framesPerSecond)));
		});
	}
} // namespace quarnlive::multiengine
