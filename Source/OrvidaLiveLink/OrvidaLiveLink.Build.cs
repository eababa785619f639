// The engine modules the plug-in calls. In an engine build the header tool writes what Generated/ holds here,
// so that folder stays out of an engine project.
using UnrealBuildTool;

public class OrvidaLiveLink : ModuleRules
{
	public OrvidaLiveLink(ReadOnlyTargetRules Target) : base(Target)
	{
		PCHUsage = PCHUsageMode.UseExplicitOrSharedPCHs;

		PublicDependencyModuleNames.AddRange(new string[]
		{
			"Core",
			"CoreUObject",
			"LiveLinkInterface",
			"Networking",
			"Sockets",
		});

		PrivateDependencyModuleNames.AddRange(new string[]
		{
			"Json",
			"Settings",
			"Slate",
			"SlateCore",
			"TakeRecorder",
			"TakesCore",
		});
	}
}
