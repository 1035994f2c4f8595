#include "Run/EditorWorld.h"

#include "Engine/World.h"
#include "QuarnFunctionLibrary.h"

namespace quarnlive::run
{
	namespace
	{
		TWeakObjectPtr<UWorld>& editorWorld()
		{
			static TWeakObjectPtr<UWorld> world;
			return world;
		}
	} // namespace

	void openEditorWorld()
	{
		if (!editorWorld().IsValid())
		{
			editorWorld() = NewObject<UWorld>(nullptr, nullptr, TEXT("EditorWorld"));
		}
		UQuarnFunctionLibrary::SetCurrentWorld(editorWorld().Get());
	}

	void setEditorWorldOpen(bool open)
	{
		if (open)
		{
			openEditorWorld();
		}
		else
		{
			UQuarnFunctionLibrary::SetCurrentWorld(nullptr);
		}
	}

	void closeEditorWorld()
	{
		UQuarnFunctionLibrary::SetCurrentWorld(nullptr);
		editorWorld() = nullptr;
	}
} // namespace quarnlive::run
