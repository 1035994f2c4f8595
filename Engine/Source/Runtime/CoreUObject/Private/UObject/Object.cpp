#include "UObject/Object.h"

#include "UObject/Class.h"

#include <map>
#include <mutex>
#include <vector>

bool GIsSavingPackage = false;
bool GIsGarbageCollecting = false;
bool GIsUObjectInitialized = false;

/** Lets StaticConstructObject hand the new object its identity before any constructor body runs. */
struct FObjectConstruction
{
	static thread_local const FObjectInitializer* Pending;

	static void Adopt(UObject& Object)
	{
		if (!Pending)
		{
			return;
		}
		Object.ClassPrivate = Pending->GetClass();
		Object.NamePrivate = Pending->GetName();
		Object.OuterPrivate = Pending->GetOuter();
		Object.ObjectFlags = Pending->GetFlags();
		int32 Serial = 0;
		Object.InternalIndex = FUObjectArray::Allocate(&Object, Serial);
		Pending = nullptr;
	}
};
thread_local const FObjectInitializer* FObjectConstruction::Pending = nullptr;

namespace
{
	struct FObjectSlot
	{
		UObject* Object = nullptr;
		int32 SerialNumber = 0;
	};

	// Objects are created and destroyed on the game thread; weak pointers resolve on any
	// thread (delegate bindings fired from network callbacks), so the table is locked.
	struct FObjectTable
	{
		std::recursive_mutex Lock;
		std::vector<FObjectSlot> Slots;
		std::vector<int32> FreeSlots;
		int32 NextSerial = 1;
	};

	FObjectTable& GetTable()
	{
		static FObjectTable* Table = new FObjectTable();
		return *Table;
	}

	std::map<const UClass*, int32>& NameCounters()
	{
		static std::map<const UClass*, int32> Counters;
		return Counters;
	}
} // namespace

int32 FUObjectArray::Allocate(UObject* Object, int32& OutSerialNumber)
{
	FObjectTable& Table = GetTable();
	std::lock_guard<std::recursive_mutex> Guard(Table.Lock);
	int32 Index;
	if (!Table.FreeSlots.empty())
	{
		Index = Table.FreeSlots.back();
		Table.FreeSlots.pop_back();
	}
	else
	{
		Index = static_cast<int32>(Table.Slots.size());
		Table.Slots.emplace_back();
	}
	OutSerialNumber = Table.NextSerial++;
	Table.Slots[static_cast<SIZE_T>(Index)] = {Object, OutSerialNumber};
	return Index;
}

void FUObjectArray::Free(int32 Index)
{
	FObjectTable& Table = GetTable();
	std::lock_guard<std::recursive_mutex> Guard(Table.Lock);
	if (Index < 0 || Index >= static_cast<int32>(Table.Slots.size()) || !Table.Slots[static_cast<SIZE_T>(Index)].Object)
	{
		return;
	}
	Table.Slots[static_cast<SIZE_T>(Index)] = {};
	Table.FreeSlots.push_back(Index);
}

UObject* FUObjectArray::Resolve(int32 Index, int32 SerialNumber, bool bEvenIfGarbage)
{
	FObjectTable& Table = GetTable();
	std::lock_guard<std::recursive_mutex> Guard(Table.Lock);
	if (Index < 0 || Index >= static_cast<int32>(Table.Slots.size()))
	{
		return nullptr;
	}
	const FObjectSlot& Slot = Table.Slots[static_cast<SIZE_T>(Index)];
	if (!Slot.Object || Slot.SerialNumber != SerialNumber)
	{
		return nullptr;
	}
	return (bEvenIfGarbage || !Slot.Object->HasAnyInternalFlagsGarbage()) ? Slot.Object : nullptr;
}

int32 FUObjectArray::GetSerialNumber(int32 Index)
{
	FObjectTable& Table = GetTable();
	std::lock_guard<std::recursive_mutex> Guard(Table.Lock);
	return Index >= 0 && Index < static_cast<int32>(Table.Slots.size()) ? Table.Slots[static_cast<SIZE_T>(Index)].SerialNumber : 0;
}

void FUObjectArray::ForEachObject(const TFunction<void(UObject*)>& Visitor)
{
	std::vector<std::pair<int32, UObject*>> Live;
	{
		FObjectTable& Table = GetTable();
		std::lock_guard<std::recursive_mutex> Guard(Table.Lock);
		for (const FObjectSlot& Slot : Table.Slots)
		{
			if (Slot.Object)
			{
				Live.emplace_back(Slot.SerialNumber, Slot.Object);
			}
		}
	}
	std::sort(Live.begin(), Live.end(), [](const auto& A, const auto& B) { return A.first < B.first; });
	for (const auto& Entry : Live)
	{
		Visitor(Entry.second);
	}
}

const FObjectInitializer& FObjectInitializer::Get()
{
	static const FObjectInitializer Empty;
	return FObjectConstruction::Pending ? *FObjectConstruction::Pending : Empty;
}

UObject::UObject()
{
	FObjectConstruction::Adopt(*this);
}

UObject::UObject(const FObjectInitializer&)
{
	FObjectConstruction::Adopt(*this);
}

UObject::~UObject()
{
	if (InternalIndex != INDEX_NONE)
	{
		FUObjectArray::Free(InternalIndex);
	}
}

bool UObject::IsA(const UClass* SomeBase) const
{
	return ClassPrivate && SomeBase && ClassPrivate->IsChildOf(SomeBase);
}

void UObject::MarkAsGarbage()
{
	bGarbage = true;
}

UFunction* UObject::FindFunctionChecked(FName InName) const
{
	UFunction* Function = ClassPrivate ? ClassPrivate->FindFunctionByName(InName) : nullptr;
	check(Function);
	return Function;
}

UObject* StaticConstructObject(UClass* Class, UObject* Outer, FName Name, EObjectFlags Flags)
{
	if (!Class || !Class->Factory || Class->HasAnyClassFlags(CLASS_Abstract))
	{
		return nullptr;
	}
	if (Name.IsNone())
	{
		const int32 Number = NameCounters()[Class]++;
		Name = FName(FString::Printf(TEXT("%s_%d"), *Class->GetName(), Number));
	}
	const FObjectInitializer Initializer(Class, Outer, Name, Flags);
	const FObjectInitializer* Previous = FObjectConstruction::Pending;
	FObjectConstruction::Pending = &Initializer;
	UObject* Object = Class->Factory(Initializer);
	FObjectConstruction::Pending = Previous;
	return Object;
}

bool UObjectInitialized()
{
	return GIsUObjectInitialized;
}

void InitUObject()
{
	GIsUObjectInitialized = true;
}

void CollectGarbage()
{
	GIsGarbageCollecting = true;
	std::vector<UObject*> Garbage;
	FUObjectArray::ForEachObject([&Garbage](UObject* Object) {
		if (Object->HasAnyInternalFlagsGarbage())
		{
			Garbage.push_back(Object);
		}
	});
	for (UObject* Object : Garbage)
	{
		Object->BeginDestroy();
	}
	for (UObject* Object : Garbage)
	{
		delete Object;
	}
	GIsGarbageCollecting = false;
}

void ShutdownUObject()
{
	for (UClass* Class : FReflectionRegistry::GetAllClasses())
	{
		Class->ResetDefaultObject();
	}
	std::vector<UObject*> Live;
	FUObjectArray::ForEachObject([&Live](UObject* Object) { Live.push_back(Object); });
	for (auto It = Live.rbegin(); It != Live.rend(); ++It)
	{
		(*It)->BeginDestroy();
	}
	for (auto It = Live.rbegin(); It != Live.rend(); ++It)
	{
		delete *It;
	}
	NameCounters().clear();
	GIsUObjectInitialized = false;
}
