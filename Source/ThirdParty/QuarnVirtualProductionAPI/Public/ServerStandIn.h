// What a node hands the engine's calls to, instead of its socket and threads, while one is set
// (ServerNode::setStandIn). Hosts that run the engine's modules with no network at all, such as
// scripted test runs, answer the calls themselves: they record them and choose the results.

#pragma once

#include "QuarnTypes.h"
#include "QuarnVirtualProductionServerDelegate.h"

#include <cstdint>

namespace quarn
{
	class ServerStandIn
	{
	public:
		virtual bool start(QuarnVirtualProductionServerDelegate* delegate, uint16_t listenPort, uint16_t sendPort) = 0;
		virtual void stop() = 0;
		virtual bool broadcastPlay() = 0;
		virtual bool broadcastStop() = 0;
		virtual bool broadcastStartRecord() = 0;
		virtual bool broadcastStopRecord() = 0;
		virtual bool broadcastSelectCamera(int32_t index) = 0;
		virtual bool broadcastSelectCameraXR(int32_t index) = 0;
		virtual bool broadcastSelectLevel(int32_t index) = 0;
		virtual bool broadcastTriggerAnimation(char key) = 0;
		virtual bool broadcastTriggerCustom(uint8_t value) = 0;
		virtual bool broadcastTriggerCustomInt(int32_t value) = 0;
		virtual bool broadcastTriggerCustomEight(uint64_t value) = 0;
		virtual bool broadcastTriggerCustomTransform(QuarnTransform<float> value) = 0;

	protected:
		// The node never deletes its stand-in.
		~ServerStandIn() = default;
	};
}
