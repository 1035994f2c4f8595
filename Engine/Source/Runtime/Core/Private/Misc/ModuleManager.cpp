#include "Modules/ModuleManager.h"

#include <algorithm>

FModuleManager& FModuleManager::Get()
{
	static FModuleManager* Singleton = new FModuleManager();
	return *Singleton;
}

void FModuleManager::RegisterModule(const FName& ModuleName, FInitializeModuleFunctionPtr InitializeModule)
{
	Modules[ModuleName.GetComparisonIndex()].Initialize = InitializeModule;
}

IModuleInterface* FModuleManager::FindLoadedModule(const FName& ModuleName) const
{
	const auto Found = Modules.find(ModuleName.GetComparisonIndex());
	return Found == Modules.end() ? nullptr : Found->second.Module.get();
}

IModuleInterface* FModuleManager::LoadModule(const FName& ModuleName)
{
	const auto Found = Modules.find(ModuleName.GetComparisonIndex());
	if (Found == Modules.end() || !Found->second.Initialize)
	{
		return nullptr;
	}
	FModuleInfo& Info = Found->second;
	if (!Info.Module)
	{
		Info.Module.reset(Info.Initialize());
		LoadedKeys.Add(Found->first);
		Info.Module->StartupModule();
	}
	return Info.Module.get();
}

bool FModuleManager::IsModuleLoaded(const FName& ModuleName) const
{
	return FindLoadedModule(ModuleName) != nullptr;
}

bool FModuleManager::UnloadModule(const FName& ModuleName, bool bIsShutdown)
{
	const auto Found = Modules.find(ModuleName.GetComparisonIndex());
	if (Found == Modules.end() || !Found->second.Module)
	{
		return false;
	}
	std::unique_ptr<IModuleInterface> Module = std::move(Found->second.Module);
	LoadedKeys.Remove(Found->first);
	Module->ShutdownModule();
	return true;
}

void FModuleManager::UnloadModulesAtShutdown()
{
	while (!LoadedKeys.IsEmpty())
	{
		const uint32 Key = LoadedKeys.Pop();
		std::unique_ptr<IModuleInterface> Module = std::move(Modules[Key].Module);
		Module->ShutdownModule();
	}
}
