#include "Modules/ModuleManager.h"

#include <algorithm>

FModuleManager& FModuleManager::Get()
{
	static FModuleManager* Singleton = new FModuleManager();
	return *Singleton;
}

void FModuleManager::RegisterModule(const FName& ModuleName, FInitializeModuleFunctionPtr InitializeModule)
{
	FModuleInfo& Info = Modules[ModuleName.GetComparisonIndex()];
	Info.Name = ModuleName;
	Info.Initialize = InitializeModule;
}

bool FModuleManager::IsModuleKnown(const FName& ModuleName) const
{
	return Modules.count(ModuleName.GetComparisonIndex()) != 0;
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
		Info.LoadOrder = NextLoadOrder++;
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
	if (!bIsShutdown)
	{
		Module->PreUnloadCallback();
	}
	Module->ShutdownModule();
	return true;
}

void FModuleManager::UnloadModulesAtShutdown()
{
	std::vector<std::pair<int32, uint32>> Loaded;
	for (const auto& [Key, Info] : Modules)
	{
		if (Info.Module)
		{
			Loaded.emplace_back(Info.LoadOrder, Key);
		}
	}
	std::sort(Loaded.rbegin(), Loaded.rend());
	for (const auto& [Order, Key] : Loaded)
	{
		std::unique_ptr<IModuleInterface> Module = std::move(Modules[Key].Module);
		Module->ShutdownModule();
	}
}

TArray<FName> FModuleManager::GetLoadedModuleNames() const
{
	std::vector<std::pair<int32, FName>> Loaded;
	for (const auto& [Key, Info] : Modules)
	{
		if (Info.Module)
		{
			Loaded.emplace_back(Info.LoadOrder, Info.Name);
		}
	}
	std::sort(Loaded.begin(), Loaded.end(), [](const auto& A, const auto& B) { return A.first < B.first; });
	TArray<FName> Result;
	for (const auto& Entry : Loaded)
	{
		Result.Add(Entry.second);
	}
	return Result;
}
