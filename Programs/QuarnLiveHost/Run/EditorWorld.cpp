#include "Run/EditorWorld.h"

#include "Engine/World.h"
#include "QuarnFunctionLibrary.h"

namespace quarnlive::run
{
	void openEditorWorld(TWeakObjectPtr<UWorld>& world)
	{
		if (!world.IsValid())
		{
			world = NewObject<UWorld>(nullptr, nullptr, TEXT("EditorWorld"));
		}
		UQuarnFunctionLibrary::SetCurrentWorld(world.Get());
	}

	void setEditorWorldOpen(TWeakObjectPtr<UWorld>& world, bool open)
	{
		if (open)
		{
			openEditorWorld(world);
		}
		else
		{
			UQuarnFunctionLibrary::SetCurrentWorld(nullptr);
		}
	}

	void closeEditorWorld(TWeakObjectPtr<UWorld>& world)
	{
		UQuarnFunctionLibrary::SetCurrentWorld(nullptr);
		world = nullptr;
	}
} // namespace quarnlive::run
