// The module's rules for the engine's build tool. Our CMake build reads the two dependency
// lists below from this file, so they are the only place the module's dependencies are named.

using UnrealBuildTool;

public class QuarnLive : ModuleRules
{
	public QuarnLive(ReadOnlyTargetRules Target) : base(Target)
	{
		PCHUsage = PCHUsageMode.UseExplicitOrSharedPCHs;

		PublicDependencyModuleNames.AddRange(new string[]
		{
			"Core",
			"CoreUObject",
			"Engine",
			"LiveLinkInterface",
			"Networking",
			"UMG",
			"QuarnVirtualProduction",
			"QuarnTracking",
			"QuarnLensDistortion",
			"QuarnVirtualProductionAPI",
		});

		PrivateDependencyModuleNames.AddRange(new string[]
		{
			"Slate",
			"SlateCore",
			"CinematicCamera",
			"UnrealEd",
			"Settings",
			"RemoteControlCommon",
			"AssetRegistry",
			"TimedDataMonitor",
			"CameraCalibrationCore",
			"QuarnVirtualProductionEditor",
			"QuarnMediaEditor",
		});
	}
}
