#include "MultiEngine/FakeServer.h"

#include "Output/Numbers.h"

namespace quarnlive::multiengine
{
	const std::array<std::string_view, 13> fakeableFunctions = {"start", "broadcastPlay", "broadcastStop", "broadcastStartRecord", "broadcastStopRecord",
		"broadcastSelectCamera", "broadcastSelectCameraXR", "broadcastSelectLevel", "broadcastTriggerAnimation", "broadcastTriggerCustom",
		"broadcastTriggerCustomInt", "broadcastTriggerCustomEight", "broadcastTriggerCustomTransform"};

	FakeServer::~FakeServer()
	{
		if (node_)
		{
			node_->setStandIn(nullptr);
		}
	}

	void FakeServer::recordTo(Recorder recorder)
	{
		std::lock_guard lock(mutex_);
		recorder_ = std::move(recorder);
	}

	void FakeServer::setResults(std::map<std::string, bool> results)
	{
		std::lock_guard lock(mutex_);
		results_ = std::move(results);
	}

	void FakeServer::standFor(quarn::ServerNode& node)
	{
		node.setStandIn(this);
		node_ = &node;
	}

	void FakeServer::record(const std::string& function, const nlohmann::ordered_json& arguments, const nlohmann::ordered_json& result)
	{
		Recorder recorder;
		{
			std::lock_guard lock(mutex_);
			recorder = recorder_;
		}
		// Outside the lock: the recorder writes a line, and a line may take its time.
		if (recorder)
		{
			recorder(function, arguments, result);
		}
	}

	bool FakeServer::answer(const std::string& function, const nlohmann::ordered_json& arguments)
	{
		bool result = true;
		{
			std::lock_guard lock(mutex_);
			const auto chosen = results_.find(function);
			result = chosen == results_.end() || chosen->second;
		}
		record(function, arguments, result);
		return result;
	}

	bool FakeServer::start(quarn::QuarnVirtualProductionServerDelegate*, uint16_t listenPort, uint16_t sendPort)
	{
		return answer("start", {{"listenPort", listenPort}, {"sendPort", sendPort}});
	}

	void FakeServer::stop() { record("stop", nlohmann::ordered_json::object(), nullptr); }

	bool FakeServer::broadcastPlay() { return answer("broadcastPlay"); }
	bool FakeServer::broadcastStop() { return answer("broadcastStop"); }
	bool FakeServer::broadcastStartRecord() { return answer("broadcastStartRecord"); }
	bool FakeServer::broadcastStopRecord() { return answer("broadcastStopRecord"); }
	bool FakeServer::broadcastSelectCamera(int32_t index) { return answer("broadcastSelectCamera", {{"index", index}}); }
	bool FakeServer::broadcastSelectCameraXR(int32_t index) { return answer("broadcastSelectCameraXR", {{"index", index}}); }
	bool FakeServer::broadcastSelectLevel(int32_t index) { return answer("broadcastSelectLevel", {{"index", index}}); }

	// The byte as it travels, 0..255, the way injectCallback takes it back.
	bool FakeServer::broadcastTriggerAnimation(char key) { return answer("broadcastTriggerAnimation", {{"key", static_cast<uint8_t>(key)}}); }

	bool FakeServer::broadcastTriggerCustom(uint8_t value) { return answer("broadcastTriggerCustom", {{"value", value}}); }
	bool FakeServer::broadcastTriggerCustomInt(int32_t value) { return answer("broadcastTriggerCustomInt", {{"value", value}}); }

	// Byte 1 (the least significant) first, as injectCallback and the event lines write eight bytes.
	bool FakeServer::broadcastTriggerCustomEight(uint64_t value)
	{
		nlohmann::ordered_json bytes = nlohmann::ordered_json::array();
		for (int index = 0; index < 8; ++index)
		{
			bytes.push_back(static_cast<uint8_t>(value >> (8 * index)));
		}
		return answer("broadcastTriggerCustomEight", {{"value", std::move(bytes)}});
	}

	bool FakeServer::broadcastTriggerCustomTransform(quarn::QuarnTransform<float> value)
	{
		nlohmann::ordered_json numbers = nlohmann::ordered_json::array();
		for (int index = 0; index < 9; ++index)
		{
			numbers.push_back(output::jsonNumber(value[index]));
		}
		return answer("broadcastTriggerCustomTransform", {{"value", std::move(numbers)}});
	}
} // namespace quarnlive::multiengine
