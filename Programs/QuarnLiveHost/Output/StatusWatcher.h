#pragma once

#include "Output/Reporter.h"

#include <string>
#include <vector>

class FProperty;

namespace quarnlive::output
{
	/**
	 * Reads the status subsystem's FQuarnStatus properties through reflection and reports
	 * each change of the watched ones; the first poll reports them all. A status subsystem that
	 * the scenario took away has nothing to report; one missing otherwise is a RuntimeFailure.
	 */
	class StatusWatcher
	{
	public:
		StatusWatcher();

		void poll(const Stamp& stamp, Reporter& reporter);
		/** Every FQuarnStatus property, in declaration order; none without the subsystem. */
		std::vector<NamedStatus> snapshot() const;

	private:
		struct Watched
		{
			const FProperty* property = nullptr;
			std::string name;
			bool watched = false;
			bool reported = false;
			StatusValue last;
		};
		std::vector<Watched> statuses_;
	};
} // namespace quarnlive::output
