#include "Tickable.h"

#include <algorithm>
#include <vector>

namespace
{
	struct FTickEntry
	{
		FTickableGameObject* Object;
		/** Resolved when the tick list first sees the object. */
		bool bTypeKnown = false;
		ETickableTickType Type = ETickableTickType::Conditional;
	};

	std::vector<FTickEntry>& TickList()
	{
		static std::vector<FTickEntry> List;
		return List;
	}
} // namespace

FTickableGameObject::FTickableGameObject()
{
	TickList().push_back({this});
}

FTickableGameObject::~FTickableGameObject()
{
	for (FTickEntry& Entry : TickList())
	{
		if (Entry.Object == this)
		{
			Entry.Object = nullptr;
		}
	}
}

void FTickableGameObject::TickObjects(float DeltaTime, bool bIsEditor, bool bIsPaused)
{
	std::vector<FTickEntry>& List = TickList();
	for (SIZE_T Index = 0; Index < List.size(); ++Index)
	{
		FTickEntry& Entry = List[Index];
		if (Entry.Object && !Entry.bTypeKnown)
		{
			Entry.Type = Entry.Object->GetTickableTickType();
			Entry.bTypeKnown = true;
			if (Entry.Type == ETickableTickType::NewObject)
			{
				Entry.Type = Entry.Object->IsTickable() ? ETickableTickType::Always : ETickableTickType::Never;
			}
		}
		FTickableGameObject* Object = Entry.Object;
		if (!Object || Entry.Type == ETickableTickType::Never)
		{
			continue;
		}
		if ((bIsEditor && !Object->IsTickableInEditor()) || (bIsPaused && !Object->IsTickableWhenPaused()))
		{
			continue;
		}
		if (Entry.Type == ETickableTickType::Conditional && !Object->IsTickable())
		{
			continue;
		}
		Object->Tick(DeltaTime);
	}
	std::erase_if(List, [](const FTickEntry& Entry) { return !Entry.Object || (Entry.bTypeKnown && Entry.Type == ETickableTickType::Never); });
}
