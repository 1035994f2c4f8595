#pragma once

#include "CallTrace.h"
#include "QuarnVirtualProductionServerDelegate.h"

namespace quarn::dispatch
{
	// Eight bytes as a list, byte 1 first; a transform as its nine numbers.
	TraceValue bytesOf(QuarnEightBytes value);
	TraceValue transformOf(const QuarnTransform<float>& value);

	// Stands between the node and the engine's delegate while a tracer is set: each callback
	// goes to the delegate, then to the tracer with what the delegate answered.
	class TracingDelegate final : public QuarnVirtualProductionServerDelegate
	{
	public:
		TracingDelegate(QuarnVirtualProductionServerDelegate& target, CallTracer tracer);
		~TracingDelegate() = default;

		void play() override;
		void stop() override;
		void startRecord() override;
		void stopRecord() override;
		void selectCamera(int32_t index) override;
		void selectCameraXR(int32_t index) override;
		void selectLevel(int32_t index) override;
		void triggerAnimation(char key) override;
		void triggerCustom(uint8_t value) override;
		void triggerCustomEight(QuarnEightBytes value) override;
		void triggerCustomTransform(QuarnTransform<float> value) override;
		void triggerCustomInt(int32_t value) override;
		Timecode getTimecode() override;
		bool getBroadcastIpsCSV(QuarnString& ips) override;

	private:
		void trace(const char* function, std::vector<std::pair<std::string, TraceValue>> arguments, TraceValue result = {}) const;

		QuarnVirtualProductionServerDelegate& target;
		const CallTracer tracer;
	};
}
