// tick {seconds}: one engine frame of that length, now, besides the run's own frames.
// holdGameThread {held}: frames leave the queued game-thread tasks queued while held.
// pump {}: runs the queued game-thread tasks now, held or not.
// collectGarbage {}: destroys the objects marked as garbage.
// destroyActor {name}: destroys an actor, as the editor's delete does.

#include "Actions/Action.h"
#include "Actions/FindActor.h"

#include "Errors.h"

#include "Async/Async.h"
#include "GameFramework/Actor.h"
#include "HeadlessEngineLoop.h"
#include "UObject/Object.h"

namespace quarnlive::actions
{
	namespace
	{
		class TickAction final : public Action
		{
		public:
			std::string_view name() const override { return "tick"; }

			void checkArguments(json::ObjectReader& entry) const override { json::readNumber(entry.require("seconds"), entry.pathOf("seconds"), 0.0, 3600.0); }

			void run(const nlohmann::ordered_json& arguments, Context& context) const override
			{
				context.tick(arguments.at("seconds").get<double>(), context.stamp());
			}
		};

		class HoldGameThreadAction final : public Action
		{
		public:
			std::string_view name() const override { return "holdGameThread"; }

			void checkArguments(json::ObjectReader& entry) const override
			{
				if (const nlohmann::ordered_json* held = entry.find("held"))
				{
					json::readBool(*held, entry.pathOf("held"));
				}
			}

			void run(const nlohmann::ordered_json& arguments, Context&) const override
			{
				FHeadlessEngineLoop::SetGameThreadTasksHeld(arguments.value("held", true));
			}
		};

		class PumpAction final : public Action
		{
		public:
			std::string_view name() const override { return "pump"; }

			void checkArguments(json::ObjectReader&) const override {}

			void run(const nlohmann::ordered_json&, Context& context) const override
			{
				const int32 ran = FGameThreadTasks::ProcessQueued();
				context.reporter->line(context.stamp(), "pump", nlohmann::ordered_json{{"tasks", ran}}, std::to_string(ran) + " game-thread task(s) ran");
			}
		};

		class CollectGarbageAction final : public Action
		{
		public:
			std::string_view name() const override { return "collectGarbage"; }

			void checkArguments(json::ObjectReader&) const override {}

			void run(const nlohmann::ordered_json&, Context&) const override { CollectGarbage(); }
		};

		class DestroyActorAction final : public Action
		{
		public:
			std::string_view name() const override { return "destroyActor"; }

			void checkArguments(json::ObjectReader& entry) const override { json::readString(entry.require("name"), entry.pathOf("name")); }

			void run(const nlohmann::ordered_json& arguments, Context&) const override
			{
				requireActor(name(), arguments.at("name").get<std::string>()).Destroy();
			}
		};
	} // namespace

	const Action& tickAction()
	{
		static const TickAction action;
		return action;
	}

	const Action& holdGameThreadAction()
	{
		static const HoldGameThreadAction action;
		return action;
	}

	const Action& pumpAction()
	{
		static const PumpAction action;
		return action;
	}

	const Action& collectGarbageAction()
	{
		static const CollectGarbageAction action;
		return action;
	}

	const Action& destroyActorAction()
	{
		static const DestroyActorAction action;
		return action;
	}
} // namespace quarnlive::actions
