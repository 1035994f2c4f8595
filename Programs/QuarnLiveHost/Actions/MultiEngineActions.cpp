// addIPAddress {address}, overrideIsMaster {}: the multi-engine subsystem's C++ calls.
// injectCallback {callback, value | ips}: one of the server library's fourteen callbacks,
// made on a thread of its own as the server's receive thread makes it; the two queries'
// answers are reported in a `callback` line.

#include "Actions/Action.h"

#include "Errors.h"

#include "QuarnMultiEngineSubsystem.h"

#include <array>
#include <cstdint>
#include <thread>

namespace quarnlive::actions
{
	namespace
	{
		UQuarnMultiEngineSubsystem& multiEngine(std::string_view action)
		{
			UQuarnMultiEngineSubsystem* subsystem = UQuarnMultiEngineSubsystem::Get();
			if (!subsystem)
			{
				throw RuntimeFailure(std::string(action) + ": there is no multi-engine subsystem in this run");
			}
			return *subsystem;
		}

		class AddIPAddressAction final : public Action
		{
		public:
			std::string_view name() const override { return "addIPAddress"; }

			void checkArguments(json::ObjectReader& entry) const override { json::readString(entry.require("address"), entry.pathOf("address")); }

			void run(const nlohmann::ordered_json& arguments, Context&) const override
			{
				UQuarnMultiEngineSubsystem& subsystem = multiEngine(name());
				const FString address(arguments.at("address").get<std::string>());
				asModule([&] { subsystem.AddIPAddress(address); });
			}
		};

		class OverrideIsMasterAction final : public Action
		{
		public:
			std::string_view name() const override { return "overrideIsMaster"; }

			void checkArguments(json::ObjectReader&) const override {}

			void run(const nlohmann::ordered_json&, Context&) const override
			{
				UQuarnMultiEngineSubsystem& subsystem = multiEngine(name());
				asModule([&subsystem] { subsystem.OverrideIsMaster(); });
			}
		};

		enum class Shape
		{
			None,
			Integer,
			Character,
			Byte,
			EightBytes,
			Transform,
			Ips,
		};

		struct Callback
		{
			const char* name;
			Shape shape;
		};

		constexpr std::array<Callback, 14> callbacks = {
			Callback{"play", Shape::None},
			Callback{"stop", Shape::None},
			Callback{"startRecord", Shape::None},
			Callback{"stopRecord", Shape::None},
			Callback{"selectCamera", Shape::Integer},
			Callback{"selectCameraXR", Shape::Integer},
			Callback{"selectLevel", Shape::Integer},
			Callback{"triggerAnimation", Shape::Character},
			Callback{"triggerCustom", Shape::Byte},
			Callback{"triggerCustomEight", Shape::EightBytes},
			Callback{"triggerCustomTransform", Shape::Transform},
			Callback{"triggerCustomInt", Shape::Integer},
			Callback{"getTimecode", Shape::None},
			Callback{"getBroadcastIpsCSV", Shape::Ips},
		};

		const Callback& findCallback(const std::string& name)
		{
			for (const Callback& callback : callbacks)
			{
				if (name == callback.name)
				{
					return callback;
				}
			}
			throw RuntimeFailure("unknown callback " + name);
		}

		void checkValue(Shape shape, json::ObjectReader& entry)
		{
			const std::string path = entry.pathOf("value");
			switch (shape)
			{
			case Shape::None:
				return;
			case Shape::Integer:
				json::readInteger(entry.require("value"), path);
				return;
			case Shape::Character:
				json::readInteger(entry.require("value"), path, -128, 255);
				return;
			case Shape::Byte:
				json::readInteger(entry.require("value"), path, 0, 255);
				return;
			case Shape::Ips:
				if (const nlohmann::ordered_json* ips = entry.find("ips"))
				{
					json::readString(*ips, entry.pathOf("ips"));
				}
				return;
			case Shape::EightBytes:
			case Shape::Transform:
			{
				const nlohmann::ordered_json& value = entry.require("value");
				const std::size_t count = shape == Shape::EightBytes ? 8 : 9;
				if (!value.is_array() || value.size() != count)
				{
					throw InputError(path, "expected an array of " + std::to_string(count) + (shape == Shape::EightBytes ? " bytes" : " numbers") + ", got " + value.dump());
				}
				for (std::size_t index = 0; index < count; ++index)
				{
					const std::string itemPath = path + "[" + std::to_string(index) + "]";
					if (shape == Shape::EightBytes)
					{
						json::readInteger(value[index], itemPath, 0, 255);
					}
					else
					{
						json::readNumber(value[index], itemPath, -3.4e38, 3.4e38);
					}
				}
				return;
			}
			}
		}

		/** Makes the call on the calling thread; what the two queries answered, else null. */
		nlohmann::ordered_json makeCall(quarn::QuarnVirtualProductionServerDelegate& target, const std::string& name, const nlohmann::ordered_json& arguments)
		{
			const nlohmann::ordered_json value = arguments.value("value", nlohmann::ordered_json());
			if (name == "play")
				target.play();
			else if (name == "stop")
				target.stop();
			else if (name == "startRecord")
				target.startRecord();
			else if (name == "stopRecord")
				target.stopRecord();
			else if (name == "selectCamera")
				target.selectCamera(value.get<int32_t>());
			else if (name == "selectCameraXR")
				target.selectCameraXR(value.get<int32_t>());
			else if (name == "selectLevel")
				target.selectLevel(value.get<int32_t>());
			else if (name == "triggerAnimation")
				target.triggerAnimation(static_cast<char>(value.get<int>()));
			else if (name == "triggerCustom")
				target.triggerCustom(value.get<uint8_t>());
			else if (name == "triggerCustomInt")
				target.triggerCustomInt(value.get<int32_t>());
			else if (name == "triggerCustomEight")
			{
				quarn::QuarnEightBytes bytes;
				for (int index = 7; index >= 0; --index)
				{
					bytes.value = (bytes.value << 8) | value[index].get<uint64_t>();
				}
				target.triggerCustomEight(bytes);
			}
			else if (name == "triggerCustomTransform")
			{
				quarn::QuarnTransform<float> transform;
				for (int index = 0; index < 9; ++index)
				{
					transform[index] = value[index].get<float>();
				}
				target.triggerCustomTransform(transform);
			}
			else if (name == "getTimecode")
			{
				const quarn::Timecode timecode = target.getTimecode();
				return nlohmann::ordered_json{{"hours", timecode.hours()}, {"minutes", timecode.minutes()}, {"seconds", timecode.seconds()},
					{"frames", timecode.frames()}, {"framesPerSecond", timecode.rate().framesPerSecond()}};
			}
			else if (name == "getBroadcastIpsCSV")
			{
				const std::string before = arguments.value("ips", std::string());
				quarn::QuarnString ips(before.c_str());
				const bool answered = target.getBroadcastIpsCSV(ips);
				return nlohmann::ordered_json{{"result", answered}, {"before", before}, {"after", ips.str()}};
			}
			return nullptr;
		}

		class InjectCallbackAction final : public Action
		{
		public:
			std::string_view name() const override { return "injectCallback"; }

			void checkArguments(json::ObjectReader& entry) const override
			{
				const std::string name = json::readString(entry.require("callback"), entry.pathOf("callback"));
				for (const Callback& callback : callbacks)
				{
					if (name == callback.name)
					{
						checkValue(callback.shape, entry);
						return;
					}
				}
				std::string names;
				for (const Callback& callback : callbacks)
				{
					names += (names.empty() ? "" : ", ") + std::string(callback.name);
				}
				throw InputError(entry.pathOf("callback"), "unknown callback \"" + name + "\": expected one of " + names);
			}

			void run(const nlohmann::ordered_json& arguments, Context& context) const override
			{
				UQuarnMultiEngineSubsystem& subsystem = multiEngine(name());
				const std::string callback = findCallback(arguments.at("callback").get<std::string>()).name;
				nlohmann::ordered_json answer;
				// The server calls from its own thread; the module must not care that it is not the game thread.
				std::thread server([&]() { answer = makeCall(subsystem, callback, arguments); });
				server.join();
				if (!answer.is_null())
				{
					context.reporter->line(context.stamp(), "callback", nlohmann::ordered_json{{"callback", callback}, {"answer", answer}},
						callback + " -> " + answer.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace));
				}
			}
		};
	} // namespace

	const Action& addIPAddressAction()
	{
		static const AddIPAddressAction action;
		return action;
	}

	const Action& overrideIsMasterAction()
	{
		static const OverrideIsMasterAction action;
		return action;
	}

	const Action& injectCallbackAction()
	{
		static const InjectCallbackAction action;
		return action;
	}
} // namespace quarnlive::actions
