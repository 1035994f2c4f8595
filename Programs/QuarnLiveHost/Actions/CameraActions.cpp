// activeCamera {name}, trackingComponentStatus {camera, ok}, lensComponentStatus {camera, ok}:
// the editor's active camera changes, and a camera's tracking or lens component reports a
// change of its status during play.

#include "Actions/Action.h"
#include "Actions/FindActor.h"

#include "Errors.h"
#include "GameFramework/Actor.h"
#include "QuarnLensDistortionComponent.h"
#include "QuarnLiveLinkComponentController.h"
#include "QuarnVPEditorSubsystem.h"

#include <functional>

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
				editor->SetActiveCamera(name.is_null() ? nullptr : &requireActor(this->name(), name.get<std::string>()));
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
	} // namespace

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
