#pragma once

#include "Output/Reporter.h"

#include <functional>
#include <memory>
#include <vector>

namespace quarnlive::output
{
	/**
	 * While it lives, reports an `event` line for every Blueprint event (BlueprintAssignable
	 * delegate) and native delegate the module raises: which one, its arguments, Blueprint or
	 * native, and whether it ran on the game thread. Bind after boot, destroy before shut-down.
	 */
	class EventRecorder
	{
	public:
		EventRecorder(Reporter& reporter, std::function<Stamp()> now);
		~EventRecorder();
		EventRecorder(const EventRecorder&) = delete;
		EventRecorder& operator=(const EventRecorder&) = delete;

		struct Binding;

	private:
		void report(const std::string& name, const std::string& delegate, bool blueprint, nlohmann::ordered_json arguments);

		Reporter& reporter_;
		std::function<Stamp()> now_;
		std::vector<std::unique_ptr<Binding>> bindings_;
	};
} // namespace quarnlive::output
