#include "Features/IModularFeatures.h"

#include "Misc/ScopeLock.h"

struct IModularFeatures::FEntry
{
	FName Type;
	IModularFeature* Implementation;
};

IModularFeatures& IModularFeatures::Get()
{
	static IModularFeatures* Registry = new IModularFeatures();
	return *Registry;
}

void IModularFeatures::RegisterModularFeature(FName Type, IModularFeature* ModularFeature)
{
	if (!ModularFeature)
	{
		return;
	}
	FScopeLock Guard(&Lock);
	const bool bKnown = Entries.ContainsByPredicate([Type, ModularFeature](const FEntry& Entry) {
		return Entry.Type == Type && Entry.Implementation == ModularFeature;
	});
	if (!bKnown)
	{
		Entries.Add({Type, ModularFeature});
	}
}

void IModularFeatures::UnregisterModularFeature(FName Type, IModularFeature* ModularFeature)
{
	FScopeLock Guard(&Lock);
	Entries.RemoveAll([Type, ModularFeature](const FEntry& Entry) { return Entry.Type == Type && Entry.Implementation == ModularFeature; });
}

IModularFeature* IModularFeatures::GetModularFeatureImplementation(FName Type, int32 Index)
{
	FScopeLock Guard(&Lock);
	int32 Seen = 0;
	for (const FEntry& Entry : Entries)
	{
		if (Entry.Type == Type && Seen++ == Index)
		{
			return Entry.Implementation;
		}
	}
	return nullptr;
}
