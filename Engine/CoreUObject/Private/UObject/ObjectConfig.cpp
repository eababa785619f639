#include "Misc/ConfigCacheIni.h"
#include "Misc/Paths.h"
#include "UObject/Class.h"
#include "UObject/Object.h"
#include "UObject/UnrealType.h"

namespace
{
FString ConfigSectionOf(const UClass* Class) { return Class->GetPathName(); }
} // namespace

FString UObject::GetDefaultConfigFilename() const
{
	const FName ConfigName = GetClass()->GetConfigName();
	if (ConfigName.IsNone())
	{
		return FString();
	}
	return FPaths::ProjectConfigDir() + TEXT("Default") + ConfigName.ToString() + TEXT(".ini");
}

void UObject::LoadConfig()
{
	const FString Filename = GetDefaultConfigFilename();
	if (Filename.IsEmpty())
	{
		return;
	}
	const FString Section = ConfigSectionOf(GetClass());
	for (TFieldIterator<FProperty> It(GetClass()); It; ++It)
	{
		if (!It->HasAnyPropertyFlags(CPF_Config))
		{
			continue;
		}
		FString Text;
		if (!GConfig->GetString(*Section, *It->GetName(), Text, Filename))
		{
			continue;
		}
		if (!It->ImportText_InContainer(Text, this))
		{
			UE_LOG(LogConfig, Warning, TEXT("%s=%s in [%s] of %s does not read as %s; keeping %s"), *It->GetName(), *Text, *Section, *Filename,
			       *It->GetCPPType(), *It->ExportText_InContainer(this));
		}
	}
}

bool UObject::SaveConfig(uint64 RequiredPropertyFlags, const TCHAR* Filename, FConfigCacheIni* Config, bool bAllowCopyToDefaultObject)
{
	const FString TargetFile = Filename != nullptr && Filename[0] != 0 ? FString(Filename) : GetDefaultConfigFilename();
	if (TargetFile.IsEmpty() || GetClass()->GetConfigName().IsNone())
	{
		return false;
	}
	FConfigCacheIni* Store = Config != nullptr ? Config : GConfig;
	// Start from the file as it is now, so edits made to it since it was cached are kept.
	Store->LoadFile(TargetFile);
	const FString Section = ConfigSectionOf(GetClass());
	for (TFieldIterator<FProperty> It(GetClass()); It; ++It)
	{
		if (It->HasAllPropertyFlags(RequiredPropertyFlags) && It->HasAnyPropertyFlags(CPF_Config))
		{
			Store->SetString(*Section, *It->GetName(), *It->ExportText_InContainer(this), TargetFile);
		}
	}
	const bool bWritten = Store->Flush(false, TargetFile);

	// Saving an instance makes its values the class defaults, as the engine's SaveConfig does.
	UObject* DefaultObject = GetClass()->GetDefaultObject(false);
	if (bAllowCopyToDefaultObject && DefaultObject != nullptr && DefaultObject != this)
	{
		for (TFieldIterator<FProperty> It(GetClass()); It; ++It)
		{
			if (It->HasAllPropertyFlags(RequiredPropertyFlags) && It->HasAnyPropertyFlags(CPF_Config))
			{
				It->ImportText_InContainer(It->ExportText_InContainer(this), DefaultObject);
			}
		}
	}
	return bWritten;
}

bool UObject::UpdateDefaultConfigFile(const FString& SpecificFileLocation)
{
	return SaveConfig(CPF_Config, SpecificFileLocation.IsEmpty() ? nullptr : *SpecificFileLocation);
}
