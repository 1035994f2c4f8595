#include "MultiEngine/EngineCommand.h"

#include "Errors.h"
#include "MultiEngine/Printer.h"

#include "QuarnMultiEngineSubsystem.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <sstream>

namespace quarnlive::multiengine
{
	namespace
	{
		using Kind = EngineCommand::Kind;

		struct Shape
		{
			const char* name;
			Kind kind;
			/** What the arguments are, for the error text; empty when there are none. */
			const char* arguments;
		};

		// Byte arguments take a signed or an unsigned byte: -1 and 255 are the same key.
		constexpr std::int64_t byteMin = -128;
		constexpr std::int64_t byteMax = 255;

		const Shape shapes[] = {
			{"play", Kind::Play, ""},
			{"stop", Kind::Stop, ""},
			{"record start", Kind::StartRecord, ""},
			{"record stop", Kind::StopRecord, ""},
			{"camera", Kind::SelectCamera, "INDEX"},
			{"camera-xr", Kind::SelectCameraXR, "INDEX"},
			{"level", Kind::SelectLevel, "INDEX"},
			{"animation", Kind::Animation, "KEY (a byte, -128 to 255)"},
			{"custom", Kind::Custom, "VALUE (a byte, -128 to 255)"},
			{"custom-int", Kind::CustomInt, "VALUE (a 32-bit integer)"},
			{"custom-eight", Kind::CustomEight, "B1 ... B8 (eight bytes, B1 least significant)"},
			{"transform", Kind::Transform, "X Y Z ROLL PITCH YAW SX SY SZ (degrees for the angles)"},
		};

		[[noreturn]] void badArguments(const Shape& shape, const std::string& problem)
		{
			std::string usage = shape.name;
			if (*shape.arguments)
			{
				usage += std::string(" ") + shape.arguments;
			}
			throw InputError("", problem + "; usage: " + usage);
		}

		std::int64_t integerArgument(const Shape& shape, const std::string& word, std::int64_t min, std::int64_t max)
		{
			std::int64_t value = 0;
			const char* first = word.data() + (word.size() > 1 && word[0] == '+' ? 1 : 0);
			const char* last = word.data() + word.size();
			const auto [end, error] = std::from_chars(first, last, value);
			if (error != std::errc() || end != last || value < min || value > max)
			{
				badArguments(shape, "'" + word + "' is not a whole number from " + std::to_string(min) + " to " + std::to_string(max));
			}
			return value;
		}

		float floatArgument(const Shape& shape, const std::string& word)
		{
			try
			{
				std::size_t used = 0;
				const float value = std::stof(word, &used);
				if (used == word.size() && std::isfinite(value))
				{
					return value;
				}
			}
			catch (const std::exception&)
			{
			}
			badArguments(shape, "'" + word + "' is not a finite number");
		}

		std::size_t argumentCount(Kind kind)
		{
			switch (kind)
			{
			case Kind::Play:
			case Kind::Stop:
			case Kind::StartRecord:
			case Kind::StopRecord:
				return 0;
			case Kind::CustomEight:
				return 8;
			case Kind::Transform:
				return 9;
			default:
				return 1;
			}
		}
	} // namespace

	const char* commandSummary()
	{
		return "play, stop, record start, record stop, camera N, camera-xr N, level N, animation KEY, custom BYTE, "
			   "custom-int N, custom-eight B1..B8, transform X Y Z ROLL PITCH YAW SX SY SZ";
	}

	std::vector<std::string> splitWords(const std::string& line)
	{
		std::vector<std::string> words;
		std::istringstream stream(line);
		for (std::string word; stream >> word;)
		{
			words.push_back(word);
		}
		return words;
	}

	EngineCommand parseCommand(const std::vector<std::string>& words)
	{
		if (words.empty())
		{
			throw InputError("", std::string("no command; commands: ") + commandSummary());
		}
		std::string name = words[0];
		std::size_t firstArgument = 1;
		if (name == "record")
		{
			if (words.size() < 2 || (words[1] != "start" && words[1] != "stop"))
			{
				throw InputError("", "record needs start or stop");
			}
			name += " " + words[1];
			firstArgument = 2;
		}
		const Shape* shape = nullptr;
		for (const Shape& candidate : shapes)
		{
			if (name == candidate.name)
			{
				shape = &candidate;
			}
		}
		if (!shape)
		{
			throw InputError("", "unknown command '" + name + "'; commands: " + commandSummary());
		}

		const std::size_t count = words.size() - firstArgument;
		const std::size_t expected = argumentCount(shape->kind);
		if (count != expected)
		{
			badArguments(*shape, "expected " + std::to_string(expected) + (expected == 1 ? " argument" : " arguments") + ", got " + std::to_string(count));
		}

		EngineCommand command;
		command.kind = shape->kind;
		command.name = shape->name;
		for (std::size_t i = firstArgument; i < words.size(); ++i)
		{
			const std::string& word = words[i];
			switch (shape->kind)
			{
			case Kind::Animation:
			case Kind::Custom:
			case Kind::CustomEight:
				command.integers.push_back(integerArgument(*shape, word, byteMin, byteMax));
				break;
			case Kind::Transform:
				command.transform[i - firstArgument] = floatArgument(*shape, word);
				break;
			default:
				command.integers.push_back(integerArgument(*shape, word, std::numeric_limits<int32>::min(), std::numeric_limits<int32>::max()));
				break;
			}
		}
		return command;
	}

	nlohmann::ordered_json EngineCommand::arguments() const
	{
		nlohmann::ordered_json result = nlohmann::ordered_json::array();
		if (kind == Kind::Transform)
		{
			for (const float value : transform)
			{
				result.push_back(roundedNumber(value));
			}
			return result;
		}
		for (const std::int64_t value : integers)
		{
			result.push_back(value);
		}
		return result;
	}

	std::string EngineCommand::text() const
	{
		std::string result = name;
		if (kind == Kind::Transform)
		{
			for (const float value : transform)
			{
				result += " " + shortNumber(value);
			}
			return result;
		}
		for (const std::int64_t value : integers)
		{
			result += " " + std::to_string(value);
		}
		return result;
	}

	bool broadcastCommand(UQuarnMultiEngineSubsystem& subsystem, const EngineCommand& command)
	{
		// Bytes keep their low eight bits, as the engine's uint8 parameters would.
		const auto byteAt = [&command](std::size_t index) { return static_cast<uint8>(command.integers[index] & 0xff); };
		const auto intAt = [&command](std::size_t index) { return static_cast<int32>(command.integers[index]); };
		switch (command.kind)
		{
		case Kind::Play:
			return subsystem.BroadcastPlay();
		case Kind::Stop:
			return subsystem.BroadcastStop();
		case Kind::StartRecord:
			return subsystem.BroadcastStartRecord();
		case Kind::StopRecord:
			return subsystem.BroadcastStopRecord();
		case Kind::SelectCamera:
			return subsystem.BroadcastSelectCamera(intAt(0));
		case Kind::SelectCameraXR:
			return subsystem.BroadcastSelectCameraXR(intAt(0));
		case Kind::SelectLevel:
			return subsystem.BroadcastSelectLevel(intAt(0));
		case Kind::Animation:
			return subsystem.BroadcastTriggerAnimation(byteAt(0));
		case Kind::Custom:
			return subsystem.BroadcastTriggerCustom(byteAt(0));
		case Kind::CustomInt:
			return subsystem.BroadcastTriggerCustomInt(intAt(0));
		case Kind::CustomEight:
		{
			FEightBytes bytes;
			uint8* const fields[] = {&bytes.byte1, &bytes.byte2, &bytes.byte3, &bytes.byte4, &bytes.byte5, &bytes.byte6, &bytes.byte7, &bytes.byte8};
			for (std::size_t i = 0; i < 8; ++i)
			{
				*fields[i] = byteAt(i);
			}
			return subsystem.BroadcastTriggerCustomEight(bytes);
		}
		case Kind::Transform:
		{
			quarn::QuarnTransform<float> values;
			for (int i = 0; i < 9; ++i)
			{
				values[i] = command.transform[static_cast<std::size_t>(i)];
			}
			return subsystem.BroadcastTriggerCustomTransform(UQuarnMultiEngineSubsystem::ConvertToFTransform(values));
		}
		}
		return false;
	}
} // namespace quarnlive::multiengine
