#include "State/EngineTimecode.h"

#include "State/FieldChecks.h"
#include "State/FrameRateText.h"
#include "State/RunState.h"

#include "HeadlessEngineLoop.h"
#include "Misc/App.h"

#include <array>

namespace quarnlive::state
{
	namespace
	{
		constexpr std::array<const char*, 4> counts = {"hours", "minutes", "seconds", "frames"};

		void checkTimecode(const nlohmann::ordered_json& value, const std::string& path)
		{
			json::ObjectReader reader(value, path);
			for (const char* key : counts)
			{
				if (const nlohmann::ordered_json* count = reader.find(key))
				{
					// Any 32-bit value: a broken provider hands out negative ones too.
					json::readInteger(*count, reader.pathOf(key));
				}
			}
			if (const nlohmann::ordered_json* dropFrame = reader.find("dropFrame"))
			{
				json::readBool(*dropFrame, reader.pathOf("dropFrame"));
			}
			reader.rejectUnknown();
		}

		int32 countOf(const nlohmann::ordered_json& value, const char* key)
		{
			return static_cast<int32>(value.value(key, std::int64_t{0}));
		}

		// Until the next frame, the timecode the loop would give now.
		void followTime()
		{
			FApp::SetTimecode(FTimecode::FromSeconds(FApp::GetCurrentTime(), FApp::GetTimecodeFrameRate(), false));
		}

		void applyTimecode(const nlohmann::ordered_json& value, RunState& run)
		{
			run.timecodePinned = !value.is_null();
			FHeadlessEngineLoop::SetTimecodeHeld(run.timecodePinned);
			if (!run.timecodePinned)
			{
				followTime();
				return;
			}
			FApp::SetTimecode(FTimecode(countOf(value, "hours"), countOf(value, "minutes"), countOf(value, "seconds"), countOf(value, "frames"),
				value.value("dropFrame", false)));
		}

		void applyTimecodeRate(const nlohmann::ordered_json& value, RunState& run)
		{
			FApp::SetTimecodeFrameRate(value.is_null() ? run.scenarioTimecodeRate : *parseFrameRate(value.get<std::string>()));
			if (!run.timecodePinned)
			{
				followTime();
			}
		}
	} // namespace

	// null, the default of both, gives the timecode back to the engine's clock and frameRate.
	Field timecodeField()
	{
		return Field{"timecode", nullptr, checkTimecode, applyTimecode};
	}

	Field timecodeRateField()
	{
		return Field{"timecodeRate", nullptr, checkFrameRate, applyTimecodeRate};
	}
} // namespace quarnlive::state
