#pragma once

// A server delegate that ignores every command: the other side of a test or benchmark that
// only sends, or only watches what its node does. Derive and override what is watched.

#include "QuarnVirtualProductionServerDelegate.h"

#include <string>
#include <utility>

class QuietServerDelegate : public quarn::QuarnVirtualProductionServerDelegate
{
public:
	/** @param followers the follower list handed to the node, comma separated; none when empty */
	explicit QuietServerDelegate(std::string followers = {})
		: followers(std::move(followers))
	{
	}

	void play() override {}
	void stop() override {}
	void startRecord() override {}
	void stopRecord() override {}
	void selectCamera(int32_t) override {}
	void selectCameraXR(int32_t) override {}
	void selectLevel(int32_t) override {}
	void triggerAnimation(char) override {}
	void triggerCustom(uint8_t) override {}
	void triggerCustomEight(quarn::QuarnEightBytes) override {}
	void triggerCustomTransform(quarn::QuarnTransform<float>) override {}
	void triggerCustomInt(int32_t) override {}
	quarn::Timecode getTimecode() override { return quarn::Timecode(quarn::FrameRate()); }
	bool getBroadcastIpsCSV(quarn::QuarnString& ips) override
	{
		if (followers.empty())
		{
			return false;
		}
		ips = followers.c_str();
		return true;
	}

	std::string followers;
};
