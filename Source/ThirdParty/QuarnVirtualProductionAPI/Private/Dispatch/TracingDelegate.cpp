#include "Dispatch/TracingDelegate.h"

#include <utility>

namespace quarn
{
	TraceValue TraceValue::of(bool value)
	{
		TraceValue out;
		out.kind = Kind::boolean;
		out.boolean = value;
		return out;
	}

	TraceValue TraceValue::of(int64_t value)
	{
		TraceValue out;
		out.kind = Kind::integer;
		out.integer = value;
		return out;
	}

	TraceValue TraceValue::of(double value)
	{
		TraceValue out;
		out.kind = Kind::number;
		out.number = value;
		return out;
	}

	TraceValue TraceValue::of(std::string value)
	{
		TraceValue out;
		out.kind = Kind::text;
		out.text = std::move(value);
		return out;
	}
}

namespace quarn::dispatch
{
	namespace
	{
		TraceValue integer(int64_t value)
		{
			return TraceValue::of(value);
		}

		TraceValue timecodeOf(const Timecode& timecode)
		{
			TraceValue out;
			out.kind = TraceValue::Kind::record;
			out.keys = {"hours", "minutes", "seconds", "frames", "framesPerSecond"};
			out.elements = {integer(timecode.hours()), integer(timecode.minutes()), integer(timecode.seconds()), integer(timecode.frames()),
				TraceValue::of(static_cast<double>(timecode.rate().framesPerSecond()))};
			return out;
		}
	}

	TraceValue bytesOf(QuarnEightBytes value)
	{
		TraceValue out;
		out.kind = TraceValue::Kind::list;
		for (int index = 0; index < 8; ++index)
		{
			out.elements.push_back(integer(value.byte(index)));
		}
		return out;
	}

	TraceValue transformOf(const QuarnTransform<float>& value)
	{
		TraceValue out;
		out.kind = TraceValue::Kind::list;
		for (int index = 0; index < 9; ++index)
		{
			out.elements.push_back(TraceValue::of(static_cast<double>(value[index])));
		}
		return out;
	}

	TracingDelegate::TracingDelegate(QuarnVirtualProductionServerDelegate& target, CallTracer tracer)
		: target(target)
		, tracer(std::move(tracer))
	{
	}

	void TracingDelegate::trace(const char* function, std::vector<std::pair<std::string, TraceValue>> arguments, TraceValue result) const
	{
		tracer(TracedCall{true, function, std::move(arguments), std::move(result)});
	}

	// Traced after the delegate returns, so the line can carry its answer.
	void TracingDelegate::play()
	{
		target.play();
		trace("play", {});
	}

	void TracingDelegate::stop()
	{
		target.stop();
		trace("stop", {});
	}

	void TracingDelegate::startRecord()
	{
		target.startRecord();
		trace("startRecord", {});
	}

	void TracingDelegate::stopRecord()
	{
		target.stopRecord();
		trace("stopRecord", {});
	}

	void TracingDelegate::selectCamera(int32_t index)
	{
		target.selectCamera(index);
		trace("selectCamera", {{"index", integer(index)}});
	}

	void TracingDelegate::selectCameraXR(int32_t index)
	{
		target.selectCameraXR(index);
		trace("selectCameraXR", {{"index", integer(index)}});
	}

	void TracingDelegate::selectLevel(int32_t index)
	{
		target.selectLevel(index);
		trace("selectLevel", {{"index", integer(index)}});
	}

	void TracingDelegate::triggerAnimation(char key)
	{
		target.triggerAnimation(key);
		trace("triggerAnimation", {{"key", integer(key)}});
	}

	void TracingDelegate::triggerCustom(uint8_t value)
	{
		target.triggerCustom(value);
		trace("triggerCustom", {{"value", integer(value)}});
	}

	void TracingDelegate::triggerCustomEight(QuarnEightBytes value)
	{
		target.triggerCustomEight(value);
		trace("triggerCustomEight", {{"value", bytesOf(value)}});
	}

	void TracingDelegate::triggerCustomTransform(QuarnTransform<float> value)
	{
		target.triggerCustomTransform(value);
		trace("triggerCustomTransform", {{"value", transformOf(value)}});
	}

	void TracingDelegate::triggerCustomInt(int32_t value)
	{
		target.triggerCustomInt(value);
		trace("triggerCustomInt", {{"value", integer(value)}});
	}

	Timecode TracingDelegate::getTimecode()
	{
		const Timecode timecode = target.getTimecode();
		trace("getTimecode", {}, timecodeOf(timecode));
		return timecode;
	}

	bool TracingDelegate::getBroadcastIpsCSV(QuarnString& ips)
	{
		const bool result = target.getBroadcastIpsCSV(ips);
		TraceValue answer;
		answer.kind = TraceValue::Kind::record;
		answer.keys = {"ReturnValue", "ips"};
		answer.elements = {TraceValue::of(result), TraceValue::of(ips.str())};
		trace("getBroadcastIpsCSV", {}, std::move(answer));
		return result;
	}
}
