#include "Board/BoardCommands.h"

namespace quarnlive::board
{
	std::future<BoardOutcome> BoardCommands::push(multiengine::EngineCommand command)
	{
		Pending pending{std::move(command), {}};
		std::future<BoardOutcome> outcome = pending.done.get_future();
		const std::lock_guard guard(lock_);
		pending_.push_back(std::move(pending));
		return outcome;
	}

	std::vector<BoardCommands::Pending> BoardCommands::take()
	{
		const std::lock_guard guard(lock_);
		std::vector<Pending> taken;
		taken.swap(pending_);
		return taken;
	}
} // namespace quarnlive::board
