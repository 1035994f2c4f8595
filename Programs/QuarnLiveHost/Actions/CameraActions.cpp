// activeCamera {name}, trackingComponentStatus {camera, ok}, lensComponentStatus {camera, ok},
// blendableWeight {camera, index, weight}: the editor's active camera changes, a camera's
// tracking or lens component reports a change of its status during play, and a user drags one
// post-process blendable's weight in the details panel.

#include "Actions/Action.h"
#include "Actions/FindActor.h"

#include "CineCameraComponent.h"
#include "Errors.h"
#include "GameFramework/Actor.h"
#include "QuarnLensDistortionComponent.h"
#include "QuarnLiveLinkComponentController.h"
#include "QuarnVPEditorSubsystem.h"

#include <functional>
#include <limits>

namespace quarnlive::actions
{
	namespace
	{
		class ActiveCameraAction final : public Action
		{
		public:
			std::string_view name() const override { return "activeCamera"; }

			void checkArguments(json::ObjectReader& entry) const override
			{
				const nlohmann::ordered_json& name = entry.require("name");
				if (!name.is_null())
				{
					json::readString(name, entry.pathOf("name"));
				}
			}

			void run(const nlohmann::ordered_json& arguments, Context&) const override
			{
				UQuarnVPEditorSubsystem* editor = UQuarnVPEditorSubsystem::Get();
				if (!editor)
				{
					throw RuntimeFailure("activeCamera: there is no VP editor subsystem (a game run, or vpEditor.present is false)");
				}
				const nlohmann::ordered_json& name = arguments.at("name");
				AActor* camera = name.is_null() ? nullptr : &requireActor(this->name(), name.get<std::string>());
				// The module hears of the change and may bind to the camera's components.
				asModule([editor, camera] { editor->SetActiveCamera(camera); });
			}
		};

		/** Raises a component's status notification on the named camera. */
		class ComponentStatusAction final : public Action
		{
		public:
			using Raise = std::function<bool(AActor&, bool)>;

			ComponentStatusAction(std::string_view name, std::string_view componentName, Raise raise)
				: name_(name)
				, componentName_(componentName)
				, raise_(std::move(raise))
			{
			}

			std::string_view name() const override { return name_; }

			void checkArguments(json::ObjectReader& entry) const override
			{
				json::readString(entry.require("camera"), entry.pathOf("camera"));
				json::readBool(entry.require("ok"), entry.pathOf("ok"));
			}

			void run(const nlohmann::ordered_json& arguments, Context&) const override
			{
				const std::string camera = arguments.at("camera").get<std::string>();
				if (!raise_(requireActor(name_, camera), arguments.at("ok").get<bool>()))
				{
					throw RuntimeFailure(std::string(name_) + ": the actor \"" + camera + "\" has no " + std::string(componentName_));
				}
			}

		private:
			std::string_view name_;
			std::string_view componentName_;
			Raise raise_;
		};

		/** Changes the weight of an existing blendable on the same camera object, as the details panel does. */
		class BlendableWeightAction final : public Action
		{
		public:
			std::string_view name() const override { return "blendableWeight"; }

			void checkArguments(json::ObjectReader& entry) const override
			{
				json::readString(entry.require("camera"), entry.pathOf("camera"));
				json::readInteger(entry.require("index"), entry.pathOf("index"), 0, std::numeric_limits<int32>::max());
				json::readNumber(entry.require("weight"), entry.pathOf("weight"), 0.0, 1.0);
			}

			void run(const nlohmann::ordered_json& arguments, Context&) const override
			{
				const std::string camera = arguments.at("camera").get<std::string>();
				AActor& actor = requireActor(name(), camera);
				UCineCameraComponent* cineCamera = Cast<UCineCameraComponent>(actor.GetComponentByClass(UCineCameraComponent::StaticClass()));
				if (!cineCamera)
				{
					throw RuntimeFailure("blendableWeight: the actor \"" + camera + "\" has no cine camera component");
				}
				TArray<FWeightedBlendable>& blendables = cineCamera->PostProcessSettings.WeightedBlendables.Array;
				const int64_t index = arguments.at("index").get<int64_t>();
				if (index >= blendables.Num())
				{
					throw RuntimeFailure("blendableWeight: the camera \"" + camera + "\" has " + std::to_string(blendables.Num()) + " blendable(s), no index "
						+ std::to_string(index));
				}
				blendables[static_cast<int32>(index)].Weight = arguments.at("weight").get<float>();
			}
		};
	} // namespace

	const Action& blendableWeightAction()
	{
		static const BlendableWeightAction action;
		return action;
	}

	const Action& activeCameraAction()
	{
		static const ActiveCameraAction action;
		return action;
	}

	const Action& trackingComponentStatusAction()
	{
		static const ComponentStatusAction action("trackingComponentStatus", "tracking component (cameras: controller)", [](AActor& actor, bool ok) {
			UQuarnLiveLinkComponentController* controller = actor.FindComponentByClass<UQuarnLiveLinkComponentController>();
			if (controller)
			{
				controller->RaiseTrackingStatusChangedInPIE(ok);
			}
			return controller != nullptr;
		});
		return action;
	}

	const Action& lensComponentStatusAction()
	{
		static const ComponentStatusAction action("lensComponentStatus", "lens component (cameras: lensDistortion)", [](AActor& actor, bool ok) {
			UQuarnLensDistortionComponent* lens = actor.FindComponentByClass<UQuarnLensDistortionComponent>();
			if (lens)
			{
				lens->RaiseLensStatusChangedInPIE(ok);
			}
			return lens != nullptr;
		});
		return action;
	}
} // namespace quarnlive::actions
