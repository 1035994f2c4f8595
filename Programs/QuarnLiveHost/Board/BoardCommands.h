#pragma once

#include "MultiEngine/EngineCommand.h"

#include <cstdint>
#include <future>
#include <mutex>
#include <vector>

namespace quarnlive::board
{
	/** What became of a command sent from the board: the broadcast's result and the command's number. */
	struct BoardOutcome
	{
		bool result = false;
		std::uint64_t number = 0;
	};

	/**
	 * Commands pressed on the board, handed from the board's connection threads to the game
	 * thread, which broadcasts them between frames as it does typed ones.
	 */
	class BoardCommands
	{
	public:
		struct Pending
		{
			multiengine::EngineCommand command;
			std::promise<BoardOutcome> done;
		};

		std::future<BoardOutcome> push(multiengine::EngineCommand command);
		/** Everything pushed since the last call, in order (game thread). */
		std::vector<Pending> take();

	private:
		std::mutex lock_;
		std::vector<Pending> pending_;
	};
} // namespace quarnlive::board
