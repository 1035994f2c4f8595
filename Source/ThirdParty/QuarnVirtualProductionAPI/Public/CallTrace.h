// A test hook: the node tells a tracer about each call an engine makes into it (start, stop,
// broadcasts) and each call it makes into the engine's delegate, with arguments and result.

#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace quarn
{
	struct TraceValue
	{
		enum class Kind
		{
			null,
			boolean,
			integer,
			number,
			text,
			list,
			record
		};

		Kind kind = Kind::null;
		bool boolean = false;
		int64_t integer = 0;
		double number = 0.0;
		std::string text;
		// list: the elements; record: the field values, named by `keys`.
		std::vector<TraceValue> elements;
		std::vector<std::string> keys;

		static TraceValue of(bool value);
		static TraceValue of(int64_t value);
		static TraceValue of(double value);
		static TraceValue of(std::string value);
	};

	struct TracedCall
	{
		// true: the node called its delegate; false: an engine called the node.
		bool callback = false;
		std::string function;
		std::vector<std::pair<std::string, TraceValue>> arguments;
		TraceValue result;
	};

	// Runs on the thread that makes the call: the engine's for calls, the node's threads for
	// most callbacks.
	using CallTracer = std::function<void(const TracedCall&)>;
}
