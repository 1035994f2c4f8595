#include "Features/IModularFeatures.h"

#include "Misc/ScopeLock.h"

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

int32 IModularFeatures::GetModularFeatureImplementationCount(FName Type)
{
	FScopeLock Guard(&Lock);
	int32 Count = 0;
	for (const FEntry& Entry : Entries)
	{
		Count += Entry.Type == Type ? 1 : 0;
	}
	return Count;
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
