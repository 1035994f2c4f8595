#include "Actions/FindActor.h"

#include "Engine/Engine.h"
#include "Engine/World.h"
#include "Errors.h"
#include "GameFramework/Actor.h"
#include "QuarnCamera.h"
#include "QuarnFunctionLibrary.h"
#include "QuarnVPEditorSubsystem.h"
#include "QuarnVPEngineSubsystem.h"

namespace quarnlive::actions
{
	AActor* findActor(const std::string& name)
	{
		const FName actorName{FString(name)};
		if (UWorld* world = UQuarnFunctionLibrary::GetCurrentWorld())
		{
			for (AActor* actor : world->GetActors())
			{
				if (actor->GetFName() == actorName)
				{
					return actor;
				}
			}
		}
		TArray<TWeakObjectPtr<AQuarnCamera>> cameras;
		if (UQuarnVPEditorSubsystem* editor = GEngine ? GEngine->GetEngineSubsystem<UQuarnVPEditorSubsystem>() : nullptr)
		{
			editor->GetQuarnCameras(cameras);
		}
		if (UQuarnVPEngineSubsystem* engine = GEngine ? GEngine->GetEngineSubsystem<UQuarnVPEngineSubsystem>() : nullptr)
		{
			engine->GetQuarnCameras(cameras);
		}
		for (const TWeakObjectPtr<AQuarnCamera>& camera : cameras)
		{
			if (camera.IsValid() && camera->GetFName() == actorName)
			{
				return camera.Get();
			}
		}
		return nullptr;
	}

	AActor& requireActor(std::string_view action, const std::string& name)
	{
		AActor* actor = findActor(name);
		if (!actor)
		{
			throw RuntimeFailure(std::string(action) + ": no actor named \"" + name + "\" (cameras come from the cameras section)");
		}
		return *actor;
	}
} // namespace quarnlive::actions
