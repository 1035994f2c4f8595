#include "MultiEngine/SessionReporter.h"

#include <cstdio>

namespace quarnlive::multiengine
{
	namespace
	{
		double millisecondsOf(std::chrono::microseconds value)
		{
			return roundedNumber(static_cast<double>(value.count()) / 1000.0);
		}
	} // namespace

	SessionReporter::SessionReporter(Printer& printer)
		: printer_(printer)
	{
	}

	std::string timecodeText(uint32_t hours, uint32_t minutes, uint32_t seconds, uint32_t frames)
	{
		char text[48];
		std::snprintf(text, sizeof(text), "%02u:%02u:%02u:%02u", hours, minutes, seconds, frames);
		return text;
	}

	void SessionReporter::followerDown(const std::string& address, std::chrono::milliseconds silentFor)
	{
		printer_.line("followerDown", {{"address", address}, {"silentMs", silentFor.count()}},
			"follower " + address + " down: silent for " + std::to_string(silentFor.count()) + " ms");
	}

	void SessionReporter::followerUp(const std::string& address, std::chrono::milliseconds away, bool restarted)
	{
		printer_.line("followerUp", {{"address", address}, {"awayMs", away.count()}, {"restarted", restarted}},
			"follower " + address + " up after " + std::to_string(away.count()) + " ms" + (restarted ? ", restarted" : ""));
	}

	void SessionReporter::commandsLost(const std::string& address, const std::vector<uint64_t>& commands, quarn::LossReason reason)
	{
		std::string list;
		for (const uint64_t command : commands)
		{
			list += (list.empty() ? "" : ",") + std::to_string(command);
		}
		printer_.line("lost", {{"address", address}, {"reason", quarn::lossText(reason)}, {"commands", commands}},
			"follower " + address + " lost " + std::to_string(commands.size()) + (commands.size() == 1 ? " command" : " commands") + " (" + quarn::lossText(reason)
				+ "): " + list);
	}

	void SessionReporter::sessionRestored(const std::string& address, std::chrono::milliseconds gap, uint32_t resent)
	{
		printer_.line("sessionRestored", {{"address", address}, {"gapMs", gap.count()}, {"resent", resent}},
			"follower " + address + " had dropped this master's session: new session after a " + std::to_string(gap.count()) + " ms gap, " + std::to_string(resent)
				+ " resent");
	}

	void SessionReporter::commandApplied(const std::string& address, uint64_t command, const quarn::AppliedReceipt& receipt)
	{
		const bool applied = receipt.outcome == quarn::CommandOutcome::Raised;
		const std::string timecode = timecodeText(receipt.hours, receipt.minutes, receipt.seconds, receipt.frames);
		const double latencyMs = millisecondsOf(receipt.lateness);
		printer_.line("receipt",
			{{"address", address}, {"command", command}, {"applied", applied}, {"frame", receipt.frame}, {"timecode", timecode}, {"latencyMs", latencyMs},
				{"reason", quarn::outcomeText(receipt.outcome)}},
			"receipt " + address + " command " + std::to_string(command) + ": " + quarn::outcomeText(receipt.outcome) + " at frame " + std::to_string(receipt.frame)
				+ ", " + timecode + ", " + shortNumber(latencyMs) + " ms after it was sent");
	}

	void SessionReporter::masterSilent(const std::string& address)
	{
		printer_.line("masterSilent", {{"address", address}}, "master " + address + " silent");
	}

	void SessionReporter::masterBack(const std::string& address, std::chrono::milliseconds silentFor)
	{
		printer_.line("masterBack", {{"address", address}, {"silentMs", silentFor.count()}},
			"master " + address + " back after " + std::to_string(silentFor.count()) + " ms");
	}

	void printStats(Printer& printer, const quarn::ServerStats& stats, const std::vector<quarn::FollowerState>& followers)
	{
		const nlohmann::ordered_json rejected = {{"unknownAddress", stats.unknownAddress}, {"addressPattern", stats.addressPattern},
			{"wrongTypeTags", stats.wrongTypeTags}, {"malformed", stats.malformed}, {"unexpected", stats.unexpected}, {"session", stats.sessionsRejected},
			{"notAuthenticated", stats.notAuthenticated}, {"replayed", stats.replayed}, {"keyNotExpected", stats.keyNotExpected}, {"notAllowed", stats.notAllowed},
			{"nonFinite", stats.nonFinite}};
		std::string rejectedText;
		for (const auto& [reason, count] : rejected.items())
		{
			rejectedText += (rejectedText.empty() ? "" : ", ") + reason + " " + count.dump();
		}
		nlohmann::ordered_json roundTrips = nlohmann::ordered_json::array();
		std::string roundTripText;
		for (const quarn::FollowerState& follower : followers)
		{
			const double p50 = roundedNumber(follower.roundTripP50 / 1000.0);
			const double p99 = roundedNumber(follower.roundTripP99 / 1000.0);
			roundTrips.push_back({{"address", follower.address}, {"p50Ms", p50}, {"p99Ms", p99}, {"down", follower.down}});
			roundTripText += "; " + follower.address + " round trip p50 " + shortNumber(p50) + " ms, p99 " + shortNumber(p99) + " ms" + (follower.down ? " (down)" : "");
		}
		printer.line("stats",
			{{"sent", stats.commandsBroadcast}, {"retransmitted", stats.retransmissions}, {"acknowledged", stats.commandsAcknowledged}, {"applied", stats.commandsApplied},
				{"notRaised", stats.commandsNotRaised}, {"lost", stats.commandsLost}, {"received", stats.commandsDelivered}, {"late", stats.commandsLate},
				{"stale", stats.commandsStale}, {"duplicates", stats.duplicatesDropped}, {"rejected", rejected}, {"followers", roundTrips}},
			"stats: sent " + std::to_string(stats.commandsBroadcast) + ", retransmitted " + std::to_string(stats.retransmissions) + ", acknowledged "
				+ std::to_string(stats.commandsAcknowledged) + ", applied " + std::to_string(stats.commandsApplied) + ", not raised " + std::to_string(stats.commandsNotRaised)
				+ ", lost " + std::to_string(stats.commandsLost) + ", received " + std::to_string(stats.commandsDelivered) + ", late " + std::to_string(stats.commandsLate)
				+ ", stale " + std::to_string(stats.commandsStale) + ", duplicates " + std::to_string(stats.duplicatesDropped) + ", rejected (" + rejectedText + ")"
				+ roundTripText);
	}
} // namespace quarnlive::multiengine
