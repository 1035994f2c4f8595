// The address space on the wire: every command survives encoding, agrees with an
// independent OSC implementation, and everything else is classified, never coerced.

#include "Codec/Osc.h"
#include "Codec/Protocol.h"

#include <gtest/gtest.h>
#include <lo/lo.h>

#include <cstring>
#include <limits>

namespace
{
	using namespace quarn::codec;

	Command commandOf(CommandKind kind, int32_t integer = 0, uint64_t eight = 0)
	{
		Command command;
		command.kind = kind;
		command.integer = integer;
		command.eight = eight;
		return command;
	}

	std::vector<Command> everyCommand()
	{
		Command transform = commandOf(CommandKind::TriggerCustomTransform);
		const float values[9] = {100.f, -0.5f, 1e30f, 0.f, -89.99f, 90.f, 1.f, 2.f, std::numeric_limits<float>::denorm_min()};
		std::memcpy(transform.transform.values, values, sizeof(values));
		return {
			commandOf(CommandKind::Play),
			commandOf(CommandKind::Stop),
			commandOf(CommandKind::StartRecord),
			commandOf(CommandKind::StopRecord),
			commandOf(CommandKind::SelectCamera, std::numeric_limits<int32_t>::min()),
			commandOf(CommandKind::SelectCameraXR, -1),
			commandOf(CommandKind::SelectLevel, std::numeric_limits<int32_t>::max()),
			commandOf(CommandKind::TriggerAnimation, 255),
			commandOf(CommandKind::TriggerCustom, 128),
			commandOf(CommandKind::TriggerCustomInt, -123456789),
			commandOf(CommandKind::TriggerCustomEight, 0, 0x8000000000000001ull),
			transform,
		};
	}

	Decoded decode(const Bytes& bytes)
	{
		return decodeMessage(bytes.data(), bytes.size());
	}

	Bytes message(std::string_view address, std::string_view tags, std::initializer_list<int32_t> integers = {})
	{
		Bytes bytes;
		OscWriter writer(bytes);
		writer.begin(address, tags);
		for (int32_t value : integers)
		{
			writer.int32(value);
		}
		return bytes;
	}

	Bytes serialiseWithLiblo(lo_message built, const char* path)
	{
		std::size_t size = 0;
		void* raw = lo_message_serialise(built, path, nullptr, &size);
		Bytes bytes(static_cast<uint8_t*>(raw), static_cast<uint8_t*>(raw) + size);
		free(raw);
		lo_message_free(built);
		return bytes;
	}

	TEST(CommandAddressSpace, EveryCommandSurvivesEncodingWithItsArgument)
	{
		for (const Command& command : everyCommand())
		{
			Bytes bytes;
			encodeCommand(command, bytes);
			const Decoded decoded = decode(bytes);
			ASSERT_EQ(decoded.kind, MessageKind::Command) << addressOf(command.kind);
			EXPECT_EQ(decoded.command.kind, command.kind);
			EXPECT_EQ(decoded.command.integer, command.integer) << addressOf(command.kind);
			EXPECT_EQ(decoded.command.eight, command.eight);
			EXPECT_EQ(std::memcmp(decoded.command.transform.values, command.transform.values, sizeof(command.transform.values)), 0);
		}
	}

	TEST(CommandAddressSpace, EncodedCommandsReadTheSameInAnIndependentOscLibrary)
	{
		for (const Command& command : everyCommand())
		{
			Bytes bytes;
			encodeCommand(command, bytes);
			int result = 0;
			lo_message parsed = lo_message_deserialise(bytes.data(), bytes.size(), &result);
			ASSERT_NE(parsed, nullptr) << addressOf(command.kind) << " error " << result;
			EXPECT_STREQ(lo_get_path(bytes.data(), static_cast<ssize_t>(bytes.size())), std::string(addressOf(command.kind)).c_str());
			lo_arg** arguments = lo_message_get_argv(parsed);
			const std::string types = lo_message_get_types(parsed);
			// liblo's argument pointers are only 4-byte aligned: read them by copying.
			const auto argument = [arguments](int index, auto value) {
				std::memcpy(&value, arguments[index], sizeof(value));
				return value;
			};
			if (command.kind == CommandKind::SelectLevel || command.kind == CommandKind::TriggerAnimation)
			{
				EXPECT_EQ(types, "i");
				EXPECT_EQ(argument(0, int32_t{}), command.integer);
			}
			if (command.kind == CommandKind::TriggerCustomEight)
			{
				EXPECT_EQ(types, "h");
				EXPECT_EQ(argument(0, uint64_t{}), command.eight);
			}
			if (command.kind == CommandKind::TriggerCustomTransform)
			{
				ASSERT_EQ(types, "fffffffff");
				EXPECT_EQ(argument(5, float{}), 90.f);
			}
			if (command.kind == CommandKind::Play)
			{
				EXPECT_EQ(types, "");
			}
			lo_message_free(parsed);
		}
	}

	TEST(CommandAddressSpace, MessagesBuiltByAnIndependentOscLibraryAreCommands)
	{
		lo_message camera = lo_message_new();
		lo_message_add_int32(camera, 7);
		Decoded decoded = decode(serialiseWithLiblo(camera, "/quarn/camera/select_xr"));
		ASSERT_EQ(decoded.kind, MessageKind::Command);
		EXPECT_EQ(decoded.command.kind, CommandKind::SelectCameraXR);
		EXPECT_EQ(decoded.command.integer, 7);

		lo_message key = lo_message_new();
		lo_message_add_char(key, 'x');
		decoded = decode(serialiseWithLiblo(key, "/quarn/animation/trigger"));
		ASSERT_EQ(decoded.kind, MessageKind::Command);
		EXPECT_EQ(decoded.command.integer & 0xff, 'x');

		lo_message eight = lo_message_new();
		lo_message_add_int64(eight, static_cast<int64_t>(0x0807060504030201ll));
		decoded = decode(serialiseWithLiblo(eight, "/quarn/custom/eight"));
		ASSERT_EQ(decoded.kind, MessageKind::Command);
		EXPECT_EQ(decoded.command.eight, 0x0807060504030201ull);

		decoded = decode(serialiseWithLiblo(lo_message_new(), "/quarn/timecode/get"));
		EXPECT_EQ(decoded.kind, MessageKind::TimecodeRequest);
	}

	TEST(CommandAddressSpace, TimecodeAnswerIsFourIntegersAndTheRate)
	{
		Bytes bytes;
		encodeTimecodeAnswer(quarn::Timecode(10, 0, 0, 24, quarn::FrameRate(25.f)), bytes);
		int result = 0;
		lo_message parsed = lo_message_deserialise(bytes.data(), bytes.size(), &result);
		ASSERT_NE(parsed, nullptr);
		EXPECT_STREQ(lo_message_get_types(parsed), "iiiif");
		lo_message_free(parsed);

		const Decoded decoded = decode(bytes);
		ASSERT_EQ(decoded.kind, MessageKind::TimecodeAnswer);
		EXPECT_EQ(decoded.hours, 10u);
		EXPECT_EQ(decoded.frames, 24u);
		EXPECT_EQ(decoded.framesPerSecond, 25.f);
	}

	TEST(CommandRejection, UnknownAddressesAreNotCommands)
	{
		EXPECT_EQ(decode(message("/quarn/playx", "")).kind, MessageKind::UnknownAddress);
		EXPECT_EQ(decode(message("/quarn", "")).kind, MessageKind::UnknownAddress);
		EXPECT_EQ(decode(message("/QUARN/PLAY", "")).kind, MessageKind::UnknownAddress);
		EXPECT_EQ(decode(message("/quarn/play/", "")).kind, MessageKind::UnknownAddress);
	}

	TEST(CommandRejection, AnAddressPatternFiresNothingEvenWhenItWouldMatch)
	{
		for (const char* pattern : {"/quarn/pla*", "/quarn/pla?", "/quarn/[p]lay", "/quarn/{play,stop}", "/*", "/quarn/record/]"})
		{
			EXPECT_EQ(decode(message(pattern, "")).kind, MessageKind::AddressPattern) << pattern;
		}
	}

	TEST(CommandRejection, WrongTypeTagsAreNotCoerced)
	{
		EXPECT_EQ(decode(message("/quarn/play", "i", {1})).kind, MessageKind::WrongTypeTags);
		EXPECT_EQ(decode(message("/quarn/camera/select", "", {})).kind, MessageKind::WrongTypeTags);
		EXPECT_EQ(decode(message("/quarn/camera/select", "f", {0x3f800000})).kind, MessageKind::WrongTypeTags);
		EXPECT_EQ(decode(message("/quarn/camera/select", "c", {1})).kind, MessageKind::WrongTypeTags);
		EXPECT_EQ(decode(message("/quarn/custom/int", "ii", {1, 2})).kind, MessageKind::WrongTypeTags);
		EXPECT_EQ(decode(message("/quarn/custom/eight", "i", {1})).kind, MessageKind::WrongTypeTags);
		EXPECT_EQ(decode(message("/quarn/custom/transform", "ffffffff", {0, 0, 0, 0, 0, 0, 0, 0})).kind, MessageKind::WrongTypeTags);
		EXPECT_EQ(decode(message("/quarn/timecode/get", "i", {1})).kind, MessageKind::WrongTypeTags);
	}

	TEST(CommandRejection, MalformedDatagramsAreTold)
	{
		const Bytes good = message("/quarn/camera/select", "i", {3});
		// Truncated argument, truncated tags, and one word too many.
		EXPECT_EQ(decodeMessage(good.data(), good.size() - 4).kind, MessageKind::Malformed);
		EXPECT_EQ(decodeMessage(good.data(), 24).kind, MessageKind::Malformed);
		Bytes longer = good;
		longer.insert(longer.end(), 4, 0);
		EXPECT_EQ(decode(longer).kind, MessageKind::Malformed);

		Bytes unpadded = good;
		unpadded[21] = 'x';
		EXPECT_EQ(decode(unpadded).kind, MessageKind::Malformed);

		const uint8_t noSlash[] = {'q', 'u', 'a', 'r', 0, 0, 0, 0, ',', 0, 0, 0};
		const uint8_t noTags[] = {'/', 'a', 0, 0};
		const uint8_t unterminated[] = {'/', 'q', 'u', 'a', 'r', 'n', '/', 'p'};
		const uint8_t notAMultipleOfFour[] = {'/', 'a', 0, 0, ',', 0, 0, 0, 0};
		EXPECT_EQ(decodeMessage(noSlash, sizeof(noSlash)).kind, MessageKind::Malformed);
		EXPECT_EQ(decodeMessage(noTags, sizeof(noTags)).kind, MessageKind::Malformed);
		EXPECT_EQ(decodeMessage(unterminated, sizeof(unterminated)).kind, MessageKind::Malformed);
		EXPECT_EQ(decodeMessage(notAMultipleOfFour, sizeof(notAMultipleOfFour)).kind, MessageKind::Malformed);
		EXPECT_EQ(decodeMessage(nullptr, 0).kind, MessageKind::Malformed);
	}

	TEST(BundleFraming, ElementsComeBackInOrderAndBrokenSizesStopTheWalk)
	{
		Bytes bundle;
		beginBundle(bundle);
		const Bytes first = message("/quarn/play", "");
		const Bytes second = message("/quarn/custom/int", "i", {5});
		appendBundleElement(bundle, first.data(), first.size());
		appendBundleElement(bundle, second.data(), second.size());

		std::vector<MessageKind> kinds;
		EXPECT_TRUE(forEachBundleElement(bundle.data(), bundle.size(), [&](const uint8_t* data, std::size_t size) {
			kinds.push_back(decodeMessage(data, size).kind);
			return true;
		}));
		EXPECT_EQ(kinds.size(), 2u);

		Bytes oversized = bundle;
		oversized[19] = 0x7f;
		int calls = 0;
		EXPECT_FALSE(forEachBundleElement(oversized.data(), oversized.size(), [&](const uint8_t*, std::size_t) { return ++calls > 0; }));
		EXPECT_EQ(calls, 0);

		Bytes cut(bundle.begin(), bundle.end() - 4);
		EXPECT_FALSE(forEachBundleElement(cut.data(), cut.size(), [](const uint8_t*, std::size_t) { return true; }));
	}
}
