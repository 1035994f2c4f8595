// "liveLink": the sources and subjects the engine's Live Link client knows, with their
// settings objects and latest frames.

#include "State/EnumText.h"
#include "State/FieldChecks.h"
#include "State/RunState.h"
#include "State/Section.h"
#include "State/StudioState.h"

#include "Errors.h"
#include "Json/EachEntry.h"
#include "HeadlessLiveLinkClient.h"
#include "LiveLinkQuarnTypes.h"
#include "LiveLinkSourceSettings.h"
#include "LiveLinkSubjectSettings.h"
#include "QuarnLiveLinkSourceSettings.h"
#include "QuarnLiveLinkSubjectSettings.h"
#include "Roles/LiveLinkCameraRole.h"
#include "UObject/Class.h"

#include <optional>

namespace quarnlive::state
{
	namespace
	{
		/** The tracking state's value from an integer or from its display name (or enumerator name). */
		std::optional<int64> findFrameStatus(const nlohmann::ordered_json& value)
		{
			if (value.is_number_integer())
			{
				const int64 number = value.get<int64>();
				return number >= 0 && number <= 255 ? std::optional<int64>(number) : std::nullopt;
			}
			return findValueByName(*StaticEnum<EQuarnTrackingStatus>(), value.get<std::string>());
		}

		void checkFrameStatus(const nlohmann::ordered_json& value, const std::string& path)
		{
			if ((!value.is_number_integer() && !value.is_string()) || !findFrameStatus(value))
			{
				throw InputError(path, "expected a tracking state (an integer 0 to 255, or one of " + quotedDisplayNames(*StaticEnum<EQuarnTrackingStatus>()) + "), got " + json::describe(value));
			}
		}

		void checkSettingsClass(const nlohmann::ordered_json& value, const std::string& path)
		{
			json::readChoice(value, path, {"quarn", "other", "none"});
		}

		void checkFrame(const nlohmann::ordered_json& value, const std::string& path)
		{
			if (value.is_string())
			{
				json::readChoice(value, path, {"none", "foreign"});
				return;
			}
			if (!value.is_object())
			{
				throw InputError(path, "expected \"none\", \"foreign\" or an object (a Quarn frame), got " + json::describe(value));
			}
			json::ObjectReader reader(value, path);
			if (const nlohmann::ordered_json* derived = reader.find("derived"))
			{
				json::readBool(*derived, reader.pathOf("derived"));
			}
			if (const nlohmann::ordered_json* status = reader.find("frameStatus"))
			{
				checkFrameStatus(*status, reader.pathOf("frameStatus"));
			}
			if (const nlohmann::ordered_json* level = reader.find("lensDataLevel"))
			{
				json::readNumber(*level, reader.pathOf("lensDataLevel"), -1e9, 1e9);
			}
			for (const char* key : {"rawFocus", "rawZoom"})
			{
				if (const nlohmann::ordered_json* raw = reader.find(key))
				{
					json::readInteger(*raw, reader.pathOf(key));
				}
			}
			reader.rejectUnknown();
		}

		void checkSubject(const nlohmann::ordered_json& value, const std::string& path)
		{
			json::ObjectReader reader(value, path);
			if (const nlohmann::ordered_json* settings = reader.find("settings"))
			{
				checkSettingsClass(*settings, reader.pathOf("settings"));
			}
			if (const nlohmann::ordered_json* text = reader.find("trackingStatusText"))
			{
				json::readString(*text, reader.pathOf("trackingStatusText"));
			}
			if (const nlohmann::ordered_json* frame = reader.find("frame"))
			{
				checkFrame(*frame, reader.pathOf("frame"));
			}
			for (const char* key : {"enabled", "virtual"})
			{
				if (const nlohmann::ordered_json* flag = reader.find(key))
				{
					json::readBool(*flag, reader.pathOf(key));
				}
			}
			reader.rejectUnknown();
		}

		void checkSource(const nlohmann::ordered_json& value, const std::string& path)
		{
			json::ObjectReader reader(value, path);
			if (const nlohmann::ordered_json* settings = reader.find("settings"))
			{
				checkSettingsClass(*settings, reader.pathOf("settings"));
			}
			if (const nlohmann::ordered_json* pendingKill = reader.find("pendingKill"))
			{
				json::readBool(*pendingKill, reader.pathOf("pendingKill"));
			}
			if (const nlohmann::ordered_json* subjects = reader.find("subjects"))
			{
				json::eachByName(*subjects, reader.pathOf("subjects"), "subjects by name", checkSubject, "a subject needs a name");
			}
			reader.rejectUnknown();
		}

		void checkSources(const nlohmann::ordered_json& value, const std::string& path)
		{
			json::eachByName(value, path, "sources by name", checkSource);
		}

		template <typename TQuarnSettings, typename TOtherSettings>
		TOtherSettings* makeSettings(const nlohmann::ordered_json& object, TArray<TWeakObjectPtr<UObject>>& made)
		{
			const std::string settingsClass = object.value("settings", "quarn");
			TOtherSettings* settings = nullptr;
			if (settingsClass == "quarn")
			{
				settings = NewObject<TQuarnSettings>();
			}
			else if (settingsClass == "other")
			{
				settings = NewObject<TOtherSettings>();
			}
			if (settings)
			{
				made.Add(settings);
			}
			return settings;
		}

		/** The subject's Quarn frame, or none when its frame is "none" or "foreign". */
		std::optional<FLiveLinkQuarnFrameData> quarnFrameOf(const nlohmann::ordered_json& subject)
		{
			const nlohmann::ordered_json frame = subject.value("frame", nlohmann::ordered_json("none"));
			if (!frame.is_object())
			{
				return std::nullopt;
			}
			FLiveLinkQuarnFrameData data;
			if (frame.contains("frameStatus"))
			{
				data.FrameStatus = static_cast<EQuarnTrackingStatus>(*findFrameStatus(frame.at("frameStatus")));
			}
			data.LensDataLevel = frame.value("lensDataLevel", data.LensDataLevel);
			data.RawFocus = frame.value("rawFocus", data.RawFocus);
			data.RawZoom = frame.value("rawZoom", data.RawZoom);
			return data;
		}

		// The settings objects of the sources applied last are replaced as a whole.
		void applySources(const nlohmann::ordered_json& value, RunState& run)
		{
			FHeadlessLiveLinkClient& client = FHeadlessLiveLinkClient::Get();
			client.Reset();
			for (const TWeakObjectPtr<UObject>& object : run.liveLinkSettings)
			{
				if (UObject* settings = object.Get())
				{
					settings->MarkAsGarbage();
				}
			}
			run.liveLinkSettings.Empty();

			for (const auto& [sourceName, source] : value.items())
			{
				ULiveLinkSourceSettings* sourceSettings = makeSettings<UQuarnLiveLinkSourceSettings, ULiveLinkSourceSettings>(source, run.liveLinkSettings);
				const FGuid sourceGuid = client.AddSource(sourceSettings, source.value("pendingKill", false));
				if (!source.contains("subjects"))
				{
					continue;
				}
				for (const auto& [subjectName, subject] : source.at("subjects").items())
				{
					const FName name{FString(subjectName)};
					ULiveLinkSubjectSettings* subjectSettings = makeSettings<UQuarnLiveLinkSubjectSettings, ULiveLinkSubjectSettings>(subject, run.liveLinkSettings);
					const std::optional<FLiveLinkQuarnFrameData> quarnFrame = quarnFrameOf(subject);
					if (UQuarnLiveLinkSubjectSettings* quarnSettings = Cast<UQuarnLiveLinkSubjectSettings>(subjectSettings))
					{
						// The tracking module shows the frame's state unless the scenario says otherwise.
						const FString frameText = quarnFrame
							? StaticEnum<EQuarnTrackingStatus>()->GetDisplayNameTextByValue(static_cast<int64>(quarnFrame->FrameStatus)).ToString()
							: FString();
						quarnSettings->TrackingStatusText = subject.contains("trackingStatusText")
							? FString(subject.at("trackingStatusText").get<std::string>())
							: frameText;
					}
					client.AddSubject(FLiveLinkSubjectKey(sourceGuid, name), subjectSettings, ULiveLinkCameraRole::StaticClass(),
						subject.value("enabled", true), subject.value("virtual", false));

					// Frames belong to the subject name, as the client evaluates them by name.
					if (quarnFrame && subject.at("frame").value("derived", false))
					{
						FLiveLinkQuarnStudioFrameData studioFrame;
						static_cast<FLiveLinkQuarnFrameData&>(studioFrame) = *quarnFrame;
						client.SetSubjectFrame(name, FLiveLinkQuarnStudioFrameData::StaticStruct(), &studioFrame);
					}
					else if (quarnFrame)
					{
						client.SetSubjectFrame(name, FLiveLinkQuarnFrameData::StaticStruct(), &*quarnFrame);
					}
					else if (subject.value("frame", nlohmann::ordered_json("none")) == "foreign")
					{
						const FLiveLinkTransformFrameData foreignFrame;
						client.SetSubjectFrame(name, FLiveLinkTransformFrameData::StaticStruct(), &foreignFrame);
					}
					else
					{
						client.ClearSubjectFrame(name);
					}
				}
			}
		}
	} // namespace

	const Section& liveLinkSection()
	{
		static const Section section("liveLink", {
													 Field{"sources", nlohmann::ordered_json::object(), checkSources, applySources},
												 });
		return section;
	}
} // namespace quarnlive::state
