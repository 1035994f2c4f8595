// Value types of the server's published API.

#pragma once

#include <cstdint>
#include <cstring>
#include <string>

namespace quarn
{
	// Owned 8-bit character string; the engine side only builds, copies and destroys it.
	class QuarnString
	{
	public:
		QuarnString() = default;
		QuarnString(const char* text)
			: value(text ? text : "") {}
		QuarnString(const QuarnString&) = default;
		QuarnString& operator=(const QuarnString&) = default;
		QuarnString& operator=(const char* text)
		{
			value = text ? text : "";
			return *this;
		}
		~QuarnString() = default;

		const char* c_str() const { return value.c_str(); }
		std::size_t size() const { return value.size(); }
		bool empty() const { return value.empty(); }
		const std::string& str() const { return value; }

	private:
		std::string value;
	};

	class FrameRate
	{
	public:
		// 30 frames per second when nobody says otherwise.
		static constexpr float defaultFramesPerSecond = 30.0f;

		FrameRate() = default;
		explicit FrameRate(float framesPerSecond)
			: fps(framesPerSecond) {}

		float framesPerSecond() const { return fps; }

	private:
		float fps = defaultFramesPerSecond;
	};

	class Timecode
	{
	public:
		explicit Timecode(const FrameRate& rate)
			: frameRate(rate) {}
		Timecode(uint32_t hours, uint32_t minutes, uint32_t seconds, uint32_t frames, const FrameRate& rate)
			: hoursValue(hours)
			, minutesValue(minutes)
			, secondsValue(seconds)
			, framesValue(frames)
			, frameRate(rate)
		{
		}

		uint32_t hours() const { return hoursValue; }
		uint32_t minutes() const { return minutesValue; }
		uint32_t seconds() const { return secondsValue; }
		uint32_t frames() const { return framesValue; }
		const FrameRate& rate() const { return frameRate; }

	private:
		uint32_t hoursValue = 0;
		uint32_t minutesValue = 0;
		uint32_t secondsValue = 0;
		uint32_t framesValue = 0;
		FrameRate frameRate;
	};

	// Eight raw bytes that travel as one 64-bit value, byte 1 least significant.
	struct QuarnEightBytes
	{
		uint64_t value = 0;

		uint8_t byte(int index) const { return static_cast<uint8_t>(value >> (8 * index)); }
	};

	// Location XYZ, rotation as Euler roll/pitch/yaw in degrees, scale XYZ: nine T in a row.
	template <typename T>
	struct QuarnTransform
	{
		T values[9] = {};

		T& operator[](int index) { return values[index]; }
		const T& operator[](int index) const { return values[index]; }
	};

	static_assert(sizeof(QuarnTransform<float>) == 36, "nine packed floats");
}
