// "cameras": the plug-in's camera actors that the VP editor and engine subsystems know, with
// the components the tracking and lens checks look at, and actors of other classes beside them.

#include "State/FieldChecks.h"
#include "State/RunState.h"
#include "State/Section.h"
#include "State/StudioState.h"

#include "CineCameraComponent.h"
#include "Engine/Engine.h"
#include "Engine/World.h"
#include "Errors.h"
#include "ImageUtils.h"
#include "Json/EachEntry.h"
#include "Materials/Material.h"
#include "Materials/MaterialInstanceConstant.h"
#include "Materials/MaterialInstanceDynamic.h"
#include "QuarnCamera.h"
#include "QuarnFunctionLibrary.h"
#include "QuarnLensDistortionComponent.h"
#include "QuarnLiveLinkComponentController.h"
#include "QuarnStudioCamera.h"
#include "QuarnVPEditorSubsystem.h"
#include "QuarnVPEngineSubsystem.h"
#include "Scenario/ScenarioColor.h"
#include "Scenario/ScenarioFiles.h"

namespace quarnlive::state
{
	namespace
	{
		void checkBlendable(const nlohmann::ordered_json& value, const std::string& path)
		{
			json::ObjectReader reader(value, path);
			if (const nlohmann::ordered_json* material = reader.find("material"))
			{
				if (json::readString(*material, reader.pathOf("material")).empty())
				{
					throw InputError(reader.pathOf("material"), "a material needs a name");
				}
			}
			const nlohmann::ordered_json* instance = reader.find("instance");
			const bool bInstance = !instance || json::readBool(*instance, reader.pathOf("instance"));
			if (const nlohmann::ordered_json* dynamic = reader.find("dynamic"))
			{
				json::readBool(*dynamic, reader.pathOf("dynamic"));
				if (!bInstance)
				{
					throw InputError(reader.pathOf("dynamic"), "a blendable without an instance holds the material itself, which is neither dynamic nor constant");
				}
			}
			if (const nlohmann::ordered_json* weight = reader.find("weight"))
			{
				json::readNumber(*weight, reader.pathOf("weight"), -1e9, 1e9);
			}
			reader.rejectUnknown();
		}

		constexpr int maxPictureSide = 16384;

		void checkPicture(const nlohmann::ordered_json& value, const std::string& path)
		{
			json::ObjectReader reader(value, path);
			const bool hasColor = reader.has("color");
			if (hasColor == reader.has("file"))
			{
				throw InputError(path, "a picture is either {\"color\": \"#RRGGBB\"} or {\"file\": \"picture.png\"}");
			}
			if (hasColor)
			{
				scenario::readHexColor(*reader.find("color"), reader.pathOf("color"));
				if (const nlohmann::ordered_json* size = reader.find("size"))
				{
					json::readNumberPair(*size, reader.pathOf("size"), 1.0, maxPictureSide);
				}
			}
			else
			{
				scenario::checkPngFile(json::readString(*reader.find("file"), reader.pathOf("file")), reader.pathOf("file"));
			}
			reader.rejectUnknown();
		}

		void checkTags(const nlohmann::ordered_json& value, const std::string& path)
		{
			json::eachInArray(value, path, "tags", [](const nlohmann::ordered_json& tag, const std::string& tagPath) {
				if (json::readString(tag, tagPath).empty())
				{
					throw InputError(tagPath, "a tag needs a name");
				}
			});
		}

		/** What the camera sees before post-processing: a solid colour (1920x1080 unless sized) or a PNG file. */
		FImage makePicture(const nlohmann::ordered_json& picture)
		{
			if (picture.contains("color"))
			{
				const nlohmann::ordered_json size = picture.value("size", nlohmann::ordered_json::array({1920, 1080}));
				return FImage(static_cast<int32>(size[0].get<double>()), static_cast<int32>(size[1].get<double>()),
					FColor::FromHex(FString(picture.at("color").get<std::string>())));
			}
			FImage image;
			const std::string file = scenario::resolveFile(picture.at("file").get<std::string>()).string();
			if (!FImageUtils::LoadImage(*FString(file), image))
			{
				throw RuntimeFailure("cannot read the camera picture " + file);
			}
			return image;
		}

		void checkCamera(const nlohmann::ordered_json& value, const std::string& path)
		{
			json::ObjectReader reader(value, path);
			std::string actorClass = "camera";
			if (const nlohmann::ordered_json* classValue = reader.find("class"))
			{
				actorClass = json::readChoice(*classValue, reader.pathOf("class"), {"camera", "derivedCamera", "cameraBase", "actor"});
			}
			if (const nlohmann::ordered_json* stale = reader.find("stale"))
			{
				if (json::readBool(*stale, reader.pathOf("stale")) && actorClass != "camera" && actorClass != "derivedCamera")
				{
					throw InputError(reader.pathOf("stale"), "only the VP subsystems' cameras (class \"camera\" or \"derivedCamera\") can be left stale in their lists");
				}
			}
			if (const nlohmann::ordered_json* tags = reader.find("tags"))
			{
				checkTags(*tags, reader.pathOf("tags"));
			}
			if (const nlohmann::ordered_json* picture = reader.find("picture"))
			{
				checkPicture(*picture, reader.pathOf("picture"));
			}
			if (const nlohmann::ordered_json* controller = reader.find("controller"))
			{
				json::ObjectReader controllerReader(*controller, reader.pathOf("controller"));
				if (const nlohmann::ordered_json* subject = controllerReader.find("controlledSubject"))
				{
					json::readString(*subject, controllerReader.pathOf("controlledSubject"));
				}
				controllerReader.rejectUnknown();
			}
			for (const char* key : {"lensDistortion", "cineCamera"})
			{
				if (const nlohmann::ordered_json* flag = reader.find(key))
				{
					json::readBool(*flag, reader.pathOf(key));
				}
			}
			if (const nlohmann::ordered_json* blendables = reader.find("blendables"))
			{
				json::eachInArray(*blendables, reader.pathOf("blendables"), "blendables", checkBlendable);
			}
			reader.rejectUnknown();
		}

		void checkActors(const nlohmann::ordered_json& value, const std::string& path)
		{
			json::eachByName(value, path, "cameras by actor name", checkCamera, "a camera needs an actor name");
		}

		UObject* makeBlendableObject(const nlohmann::ordered_json& blendable, UObject* outer)
		{
			if (!blendable.contains("material"))
			{
				return nullptr;
			}
			UMaterial* parent = NewObject<UMaterial>(outer, nullptr, FName(FString(blendable.at("material").get<std::string>())));
			if (!blendable.value("instance", true))
			{
				return parent;
			}
			if (blendable.value("dynamic", true))
			{
				return UMaterialInstanceDynamic::Create(parent, outer);
			}
			UMaterialInstanceConstant* instance = NewObject<UMaterialInstanceConstant>(outer);
			instance->Parent = parent;
			return instance;
		}

		UClass* actorClassOf(const std::string& name)
		{
			if (name == "derivedCamera")
			{
				return AQuarnStudioCamera::StaticClass();
			}
			if (name == "cameraBase")
			{
				return AQuarnCameraBase::StaticClass();
			}
			if (name == "actor")
			{
				return AActor::StaticClass();
			}
			return AQuarnCamera::StaticClass();
		}

		// The plug-in's cameras make their own cine camera; actors of other classes are given one.
		UCineCameraComponent* setUpCineCamera(AActor& actor, bool bWanted)
		{
			AQuarnCamera* camera = Cast<AQuarnCamera>(&actor);
			if (!camera)
			{
				return bWanted ? actor.AddComponent<UCineCameraComponent>(TEXT("CameraComponent")) : nullptr;
			}
			if (!bWanted)
			{
				camera->RemoveComponent(camera->CameraComponent);
				camera->CameraComponent = nullptr;
			}
			return camera->CameraComponent;
		}

		AActor* spawnActor(const std::string& name, const nlohmann::ordered_json& description)
		{
			const FName actorName{FString(name)};
			UClass* actorClass = actorClassOf(description.value("class", "camera"));
			UWorld* world = UQuarnFunctionLibrary::GetCurrentWorld();
			AActor* actor = world ? world->SpawnActor(actorClass, actorName) : NewObject<AActor>(nullptr, actorClass, actorName);
			// The plug-in's cameras are the ones studios tag for compositing; a scenario can say otherwise.
			actor->Tags.Empty();
			for (const nlohmann::ordered_json& tag : description.value("tags", nlohmann::ordered_json::array({"QuarnCamera"})))
			{
				actor->Tags.Add(FName(FString(tag.get<std::string>())));
			}
			if (description.contains("controller"))
			{
				UQuarnLiveLinkComponentController* controller = actor->AddComponent<UQuarnLiveLinkComponentController>(TEXT("LiveLinkController"));
				const nlohmann::ordered_json& controllerDescription = description.at("controller");
				controller->ControlledSubject = FName(FString(controllerDescription.value("controlledSubject", std::string())));
			}
			if (description.value("lensDistortion", false))
			{
				actor->AddComponent<UQuarnLensDistortionComponent>(TEXT("LensDistortion"));
			}
			UCineCameraComponent* cineCamera = setUpCineCamera(*actor, description.value("cineCamera", true));
			if (!cineCamera)
			{
				return actor;
			}
			if (description.contains("picture"))
			{
				cineCamera->ScenePicture = makePicture(description.at("picture"));
			}
			for (const nlohmann::ordered_json& blendable : description.value("blendables", nlohmann::ordered_json::array()))
			{
				cineCamera->PostProcessSettings.WeightedBlendables.Array.Add(FWeightedBlendable(blendable.value("weight", 1.f), makeBlendableObject(blendable, actor)));
			}
			return actor;
		}

		// Every timeline patch re-applies the whole state; actors are only replaced when their
		// description changed, so what the editor did to them (blendables added) survives. An
		// actor gone that was not made stale was destroyed since, and is made again.
		bool unchanged(const nlohmann::ordered_json& value, const CameraActors& made)
		{
			if (made.description != value || static_cast<std::size_t>(made.actors.Num()) != value.size())
			{
				return false;
			}
			int32 index = 0;
			for (const nlohmann::ordered_json& description : value)
			{
				if (made.actors[index++].IsValid() == description.value("stale", false))
				{
					return false;
				}
			}
			return true;
		}

		void applyActors(const nlohmann::ordered_json& value, RunState& run)
		{
			CameraActors& made = run.cameras;
			if (unchanged(value, made))
			{
				return;
			}
			for (const TWeakObjectPtr<AActor>& previous : made.actors)
			{
				if (AActor* actor = previous.Get())
				{
					actor->Destroy();
				}
			}
			made.actors.Empty();
			made.description = value;

			TArray<AQuarnCamera*> cameras;
			TArray<AActor*> staleActors;
			for (const auto& [name, description] : value.items())
			{
				AActor* actor = spawnActor(name, description);
				made.actors.Add(actor);
				if (AQuarnCamera* camera = Cast<AQuarnCamera>(actor))
				{
					cameras.Add(camera);
				}
				if (description.value("stale", false))
				{
					staleActors.Add(actor);
				}
			}
			// Straight from the engine: a subsystem taken away keeps its cameras for when it is back.
			if (UQuarnVPEditorSubsystem* editor = GEngine ? GEngine->GetEngineSubsystem<UQuarnVPEditorSubsystem>() : nullptr)
			{
				editor->SetCameras(cameras);
			}
			if (UQuarnVPEngineSubsystem* engine = GEngine ? GEngine->GetEngineSubsystem<UQuarnVPEngineSubsystem>() : nullptr)
			{
				engine->SetCameras(cameras);
			}
			// Destroyed only now, so the subsystems' lists hold them as stale weak pointers.
			for (AActor* actor : staleActors)
			{
				actor->Destroy();
			}
		}
	} // namespace

	const Section& camerasSection()
	{
		static const Section section("cameras", {
													Field{"actors", nlohmann::ordered_json::object(), checkActors, applyActors},
												});
		return section;
	}
} // namespace quarnlive::state
