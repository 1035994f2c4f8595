#pragma once

#include "Output/Reporter.h"

#include "Misc/CallTrace.h"

#include <functional>
#include <map>
#include <mutex>
#include <string>

namespace quarn
{
	class ServerNode;
}

namespace quarnlive::output
{
	/**
	 * --trace: while it lives, a `trace` line for every call the plug-in's modules make into
	 * the instrumented functions of the engine, the sibling modules and the server library,
	 * every callback the server makes into the module, and every delegate bound to an object or
	 * unbound from it. Create it before the engine boots and destroy it after shut-down, so
	 * the module's own start-up and shut-down are in the record.
	 */
	class CallTraceReporter
	{
	public:
		/** fields: the JSON line's keys after "type"; text: the line people read. */
		using LineSink = std::function<void(nlohmann::ordered_json fields, const std::string& text)>;

		CallTraceReporter(LineSink sink, quarn::ServerNode& server);
		~CallTraceReporter();
		CallTraceReporter(const CallTraceReporter&) = delete;
		CallTraceReporter& operator=(const CallTraceReporter&) = delete;

	private:
		void call(const FCallTraceCall& call);
		void binding(const FCallTraceBinding& binding);
		void write(nlohmann::ordered_json fields, const std::string& text);
		std::string delegateName(const void* delegate) const;

		LineSink sink_;
		quarn::ServerNode& server_;
		// What each object that bound was called, for its unbinding (RemoveAll knows only its address).
		std::mutex namesLock_;
		std::map<const void*, std::string> boundObjects_;
	};

	/** The trace's value as JSON: non-finite numbers as the strings "NaN", "Infinity", "-Infinity". */
	nlohmann::ordered_json traceJson(const FCallTraceValue& value);
} // namespace quarnlive::output
