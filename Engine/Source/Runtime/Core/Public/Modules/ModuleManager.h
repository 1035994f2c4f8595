#pragma once

#include "Containers/Array.h"
#include "Modules/ModuleInterface.h"
#include "UObject/NameTypes.h"

#include <map>
#include <memory>

using FInitializeModuleFunctionPtr = IModuleInterface* (*)();

/**
 * Loads modules by name. A module is known once its library registered its entry point
 * (IMPLEMENT_MODULE); loading creates the module object and starts it up, once.
 */
class CORE_API FModuleManager
{
public:
	static FModuleManager& Get();

	/** Called by IMPLEMENT_MODULE when a module library is loaded. */
	void RegisterModule(const FName& ModuleName, FInitializeModuleFunctionPtr InitializeModule);

	/** Loads the module if needed; null when no such module is known. */
	IModuleInterface* LoadModule(const FName& ModuleName);
	bool IsModuleLoaded(const FName& ModuleName) const;
	/** Shuts the module down and destroys its object. */
	bool UnloadModule(const FName& ModuleName, bool bIsShutdown = false);
	/** Shuts every loaded module down, newest first. */
	void UnloadModulesAtShutdown();

	/** The loaded module, or null; never loads it. */
	template <typename TModuleInterface>
	static TModuleInterface* GetModulePtr(const FName& ModuleName)
	{
		return static_cast<TModuleInterface*>(Get().FindLoadedModule(ModuleName));
	}
	/** Loads the module if needed; the module must exist. */
	template <typename TModuleInterface>
	static TModuleInterface& LoadModuleChecked(const FName& ModuleName)
	{
		IModuleInterface* Module = Get().LoadModule(ModuleName);
		check(Module);
		return static_cast<TModuleInterface&>(*Module);
	}
	template <typename TModuleInterface>
	static TModuleInterface& GetModuleChecked(const FName& ModuleName)
	{
		IModuleInterface* Module = Get().FindLoadedModule(ModuleName);
		check(Module);
		return static_cast<TModuleInterface&>(*Module);
	}

private:
	struct FModuleInfo
	{
		FInitializeModuleFunctionPtr Initialize = nullptr;
		std::unique_ptr<IModuleInterface> Module;
	};

	IModuleInterface* FindLoadedModule(const FName& ModuleName) const;

	std::map<uint32, FModuleInfo> Modules;
	// Keys of the loaded modules, oldest first: shut-down goes newest first.
	TArray<uint32> LoadedKeys;
};

/** Adds the module to the module manager's registry when its library loads. */
struct FModuleInitializerRegistrant
{
	FModuleInitializerRegistrant(const TCHAR* ModuleName, FInitializeModuleFunctionPtr InitializeModule)
	{
		FModuleManager::Get().RegisterModule(FName(ModuleName), InitializeModule);
	}
};

/**
 * Declares the module's entry point InitializeModule, exported from its library, and
 * registers it under ModuleName.
 */
#define IMPLEMENT_MODULE(ModuleImplClass, ModuleName) \
	namespace \
	{ \
		IModuleInterface* CreateModule##ModuleName() { return new ModuleImplClass(); } \
		FModuleInitializerRegistrant ModuleRegistrant##ModuleName(TEXT(#ModuleName), &CreateModule##ModuleName); \
	} \
	extern "C" DLLEXPORT IModuleInterface* InitializeModule() { return CreateModule##ModuleName(); }
