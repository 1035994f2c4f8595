#pragma once

#include <nlohmann/json.hpp>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class UQuarnMultiEngineSubsystem;

namespace quarnlive::multiengine
{
	/** One of the twelve commands a master broadcasts, as typed: `camera 2`, `record start`, ... */
	struct EngineCommand
	{
		enum class Kind
		{
			Play,
			Stop,
			StartRecord,
			StopRecord,
			SelectCamera,
			SelectCameraXR,
			SelectLevel,
			Animation,
			Custom,
			CustomInt,
			CustomEight,
			Transform,
		};

		Kind kind = Kind::Play;
		/** The command's words without arguments ("record start", "camera-xr"). */
		std::string name;
		/** Integers as typed for the index, byte and integer commands; eight bytes for custom-eight. */
		std::vector<std::int64_t> integers;
		/** Location XYZ, roll pitch yaw in degrees, scale XYZ for transform. */
		std::array<float, 9> transform{};

		/** The arguments for output: integers or the nine numbers. */
		nlohmann::ordered_json arguments() const;
		/** "camera 2", as it would be typed again. */
		std::string text() const;
	};

	/** What the commands are called, for help and error texts. */
	const char* commandSummary();

	/**
	 * The command in words (already split at blanks). Throws InputError with the problem
	 * (place empty) for an unknown command or a bad or missing argument.
	 */
	EngineCommand parseCommand(const std::vector<std::string>& words);

	/** Splits a typed line at blanks. */
	std::vector<std::string> splitWords(const std::string& line);

	/** Sends the command through the subsystem's broadcast operation; its result. */
	bool broadcastCommand(UQuarnMultiEngineSubsystem& subsystem, const EngineCommand& command);
} // namespace quarnlive::multiengine
