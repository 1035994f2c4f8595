#pragma once

#include "Output/Reporter.h"

namespace quarnlive::output
{
	/**
	 * Reports an `evaluation` line after every frame in which the status subsystem ran its
	 * periodic evaluation: the snapshots in order, the last snapshot, SubjectNames,
	 * FrameNumber and CameraSubjectName.
	 */
	class EvaluationWatcher
	{
	public:
		/** Before the frame's tick. */
		void beforeTick();
		/** After the frame's tick of deltaSeconds. */
		void afterTick(double deltaSeconds, const Stamp& stamp, Reporter& reporter);

		/** What the subsystem holds now, as the evaluation line shows it; null without a subsystem. */
		static nlohmann::ordered_json current();

	private:
		float timeBefore_ = 0.f;
		bool suspendedBefore_ = false;
	};
} // namespace quarnlive::output
