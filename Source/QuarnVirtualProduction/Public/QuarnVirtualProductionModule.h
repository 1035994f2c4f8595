#pragma once

#include "CoreMinimal.h"
#include "Misc/Optional.h"
#include "Modules/ModuleInterface.h"
#include "Modules/ModuleManager.h"

/** The virtual-production runtime module. */
class IQuarnVirtualProductionModule : public IModuleInterface
{
public:
	static IQuarnVirtualProductionModule& Get()
	{
		return FModuleManager::LoadModuleChecked<IQuarnVirtualProductionModule>(TEXT("QuarnVirtualProduction"));
	}
	static bool IsAvailable() { return FModuleManager::Get().IsModuleLoaded(TEXT("QuarnVirtualProduction")); }

	/** The plug-in's VersionName from its descriptor, or "0.0.0" when the descriptor cannot be read. */
	virtual FString GetPluginVersion() const = 0;

	/** Stand-in: the text GetPluginVersion answers instead of the descriptor's; unset reads the descriptor again. */
	TOptional<FString> PluginVersionOverride;
};
