// The board's picture of the session, fed as the server's threads and the game thread feed it.

#include "Board/Stage.h"

#include <gtest/gtest.h>

namespace quarnlive::board
{
	namespace
	{
		StageSetup setup()
		{
			StageSetup result;
			result.masterAddress = "127.0.0.1";
			result.say = [](const std::string&, const nlohmann::ordered_json&, const std::string&) {};
			return result;
		}

		quarn::AppliedReceipt raised()
		{
			quarn::AppliedReceipt receipt;
			receipt.outcome = quarn::CommandOutcome::Raised;
			receipt.frame = 95;
			return receipt;
		}

		std::string stateOf(const Stage& stage, std::uint64_t command, const std::string& address)
		{
			const nlohmann::ordered_json snapshot = stage.snapshot();
			for (const nlohmann::ordered_json& row : snapshot["commands"])
			{
				if (row["number"] == command)
				{
					return row["fates"].contains(address) ? row["fates"][address]["state"].get<std::string>() : "<none>";
				}
			}
			return "<no command>";
		}
	} // namespace

	TEST(StageCommands, AReceiptHeardBeforeTheCommandWasRecordedIsKeptForIt)
	{
		Stage stage(setup());
		stage.addFollowers({"127.0.0.2", "127.0.0.3"});
		stage.commandSent(1, "play", "stdin", true);
		// The follower answered while the game thread was still between broadcast and record.
		stage.commandApplied("127.0.0.2", 2, raised());
		stage.commandsLost("127.0.0.3", {2}, quarn::LossReason::Deadline);
		stage.commandSent(2, "camera 7", "board", true);
		EXPECT_EQ(stateOf(stage, 2, "127.0.0.2"), "applied");
		EXPECT_EQ(stateOf(stage, 2, "127.0.0.3"), "lost");
		EXPECT_EQ(stateOf(stage, 1, "127.0.0.2"), "sent");

		// A late receipt goes to its own command, never to a later one.
		stage.commandApplied("127.0.0.3", 1, raised());
		stage.commandSent(3, "stop", "stdin", true);
		EXPECT_EQ(stateOf(stage, 3, "127.0.0.3"), "sent");
		EXPECT_EQ(stateOf(stage, 1, "127.0.0.3"), "applied");
	}
} // namespace quarnlive::board
