#pragma once

#include "QuarnVirtualProductionServer.h"

#include <nlohmann/json.hpp>

#include <array>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

namespace quarnlive::multiengine
{
	/** The server library's functions that answer true or false, by their own names: "start", "broadcastPlay", ... */
	extern const std::array<std::string_view, 13> fakeableFunctions;

	/**
	 * "multiEngine.server": "fake": answers the module's calls into the server library in place
	 * of the network. Each call is handed to the recorder with its arguments and its result;
	 * every function answers true unless setResults says otherwise. Opens no socket.
	 */
	class FakeServer final : public quarn::ServerStandIn
	{
	public:
		/** function, its arguments by the library's parameter names, and its result (null for stop). */
		using Recorder = std::function<void(const std::string& function, const nlohmann::ordered_json& arguments, const nlohmann::ordered_json& result)>;

		FakeServer() = default;
		/** Gives the node back its network if standFor made this its stand-in. */
		~FakeServer();
		FakeServer(const FakeServer&) = delete;
		FakeServer& operator=(const FakeServer&) = delete;

		void recordTo(Recorder recorder);
		/** Results by function name; a function left out answers true. Any thread. */
		void setResults(std::map<std::string, bool> results);
		/** From now until this object goes, node's calls come here. */
		void standFor(quarn::ServerNode& node);

		bool start(quarn::QuarnVirtualProductionServerDelegate* delegate, uint16_t listenPort, uint16_t sendPort) override;
		void stop() override;
		bool broadcastPlay() override;
		bool broadcastStop() override;
		bool broadcastStartRecord() override;
		bool broadcastStopRecord() override;
		bool broadcastSelectCamera(int32_t index) override;
		bool broadcastSelectCameraXR(int32_t index) override;
		bool broadcastSelectLevel(int32_t index) override;
		bool broadcastTriggerAnimation(char key) override;
		bool broadcastTriggerCustom(uint8_t value) override;
		bool broadcastTriggerCustomInt(int32_t value) override;
		bool broadcastTriggerCustomEight(uint64_t value) override;
		bool broadcastTriggerCustomTransform(quarn::QuarnTransform<float> value) override;

	private:
		void record(const std::string& function, const nlohmann::ordered_json& arguments, const nlohmann::ordered_json& result);
		bool answer(const std::string& function, const nlohmann::ordered_json& arguments = nlohmann::ordered_json::object());

		std::mutex mutex_;
		std::map<std::string, bool> results_;
		Recorder recorder_;
		quarn::ServerNode* node_ = nullptr;
	};
} // namespace quarnlive::multiengine
