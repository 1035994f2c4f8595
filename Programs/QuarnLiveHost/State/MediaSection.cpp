// "media": what the media editor module reports about the video cards, formats, media assets
// and signals, and how many inputs and outputs the compositing mode's media layout needs.

#include "State/FieldChecks.h"
#include "State/FrameRateText.h"
#include "State/Section.h"
#include "State/StudioState.h"

#include "Engine/Engine.h"
#include "Errors.h"
#include "QuarnMediaEditorModule.h"
#include "QuarnMediaLayout.h"
#include "QuarnVPEngineSubsystem.h"

#include <charconv>
#include <optional>
#include <string_view>

namespace quarnlive::state
{
	namespace
	{
		FQuarnMediaEditorState& media()
		{
			return FQuarnMediaEditorModule::Get().State;
		}

		Field boolField(std::string key, bool FQuarnMediaEditorState::*member)
		{
			return Field{std::move(key), false, isBool(), [member](const nlohmann::ordered_json& value) { media().*member = value.get<bool>(); }};
		}

		Field textField(std::string key, FString FQuarnMediaEditorState::*member)
		{
			return Field{std::move(key), "", isString(), [member](const nlohmann::ordered_json& value) { media().*member = FString(value.get<std::string>()); }};
		}

		Field countField(std::string key, int32 FQuarnMediaEditorState::*member)
		{
			return Field{std::move(key), 0, isInteger(0), [member](const nlohmann::ordered_json& value) { media().*member = static_cast<int32>(value.get<int64>()); }};
		}

		Field kindField(std::string key, int32 FQuarnMediaEditorState::*member)
		{
			return Field{std::move(key), 0, isInteger(), [member](const nlohmann::ordered_json& value) { media().*member = static_cast<int32>(value.get<int64>()); }};
		}

		Field rateField(std::string key, FFrameRate FQuarnMediaEditorState::*member)
		{
			return Field{std::move(key), "25", checkFrameRate,
				[member](const nlohmann::ordered_json& value) { media().*member = *parseFrameRate(value.get<std::string>()); }};
		}

		Field layoutField(std::string key, int32 UQuarnMediaLayout::*member)
		{
			return Field{std::move(key), 1, isInteger(0), [member](const nlohmann::ordered_json& value) {
							 // Straight from the engine: a subsystem taken away keeps its layout for when it is back.
							 UQuarnVPEngineSubsystem* engine = GEngine ? GEngine->GetEngineSubsystem<UQuarnVPEngineSubsystem>() : nullptr;
							 if (UQuarnMediaLayout* layout = engine ? engine->GetModeMediaLayout() : nullptr)
							 {
								 layout->*member = static_cast<int32>(value.get<int64>());
							 }
						 }};
		}
	} // namespace

	const Section& mediaSection()
	{
		static const Section section("media", {
												  boolField("videoCards", &FQuarnMediaEditorState::bHasVideoCards),
												  Field{"formatsReadable", true, isBool(), [](const nlohmann::ordered_json& value) { media().bFormatsReadable = value.get<bool>(); }},
												  textField("inputFormat", &FQuarnMediaEditorState::InputFormat),
												  textField("outputFormat", &FQuarnMediaEditorState::OutputFormat),
												  kindField("inputFormatKind", &FQuarnMediaEditorState::InputFormatKind),
												  kindField("outputFormatKind", &FQuarnMediaEditorState::OutputFormatKind),
												  rateField("inputFrameRate", &FQuarnMediaEditorState::InputFrameRate),
												  rateField("outputFrameRate", &FQuarnMediaEditorState::OutputFrameRate),
												  layoutField("layoutInputs", &UQuarnMediaLayout::NumInputs),
												  layoutField("layoutOutputs", &UQuarnMediaLayout::NumOutputs),
												  countField("inputAssets", &FQuarnMediaEditorState::NumInputAssets),
												  countField("outputAssets", &FQuarnMediaEditorState::NumOutputAssets),
												  boolField("inputPlaying", &FQuarnMediaEditorState::bInputPlaying),
												  boolField("keyInputPlaying", &FQuarnMediaEditorState::bKeyInputPlaying),
												  boolField("outputCapturing", &FQuarnMediaEditorState::bOutputCapturing),
												  boolField("keyOutputCapturing", &FQuarnMediaEditorState::bKeyOutputCapturing),
												  textField("inputDescription", &FQuarnMediaEditorState::InputDescription),
												  textField("outputDescription", &FQuarnMediaEditorState::OutputDescription),
											  });
		return section;
	}
} // namespace quarnlive::state
