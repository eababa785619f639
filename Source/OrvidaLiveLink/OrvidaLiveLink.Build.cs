// The engine modules the plug-in calls. The engine's header tool writes the reflection code for the two
// reflected classes into the project's Intermediate/ folder; nothing generated lives here.
using UnrealBuildTool;

public class OrvidaLiveLink : ModuleRules
{
	public OrvidaLiveLink(ReadOnlyTargetRules Target) : base(Target)
	{
		PCHUsage = PCHUsageMode.UseExplicitOrSharedPCHs;
		// 4.27 compiles modules as C++14 unless told otherwise; the module relies on C++17. Later engines compile
		// C++20 and may refuse a lower standard, so theirs stands.
		if (Target.Version.MajorVersion == 4)
		{
			CppStandard = CppStandardVersion.Cpp17;
		}

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
