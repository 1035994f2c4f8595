// Callbacks of the server. Slot order is part of the binary interface; do not reorder.

#pragma once

#include "QuarnTypes.h"

#include <cstdint>

namespace quarn
{
	// Commands 1 to 12 arrive on the server's receive thread, in the order the master sent
	// them. getTimecode and getBroadcastIpsCSV are answered at once on the calling thread.
	// The server never deletes its delegate: no virtual destructor, and a protected one so
	// nobody deletes through this base.
	class QuarnVirtualProductionServerDelegate
	{
	public:
		virtual void play() = 0;
		virtual void stop() = 0;
		virtual void startRecord() = 0;
		virtual void stopRecord() = 0;
		virtual void selectCamera(int32_t index) = 0;
		virtual void selectCameraXR(int32_t index) = 0;
		virtual void selectLevel(int32_t index) = 0;
		virtual void triggerAnimation(char key) = 0;
		virtual void triggerCustom(uint8_t value) = 0;
		virtual void triggerCustomEight(QuarnEightBytes value) = 0;
		virtual void triggerCustomTransform(QuarnTransform<float> value) = 0;
		virtual void triggerCustomInt(int32_t value) = 0;
		virtual Timecode getTimecode() = 0;
		// true: `ips` now holds the followers as dotted addresses joined by ",".
		virtual bool getBroadcastIpsCSV(QuarnString& ips) = 0;

	protected:
		~QuarnVirtualProductionServerDelegate() = default;
	};
}
