#include "ISettingsModule.h"
#include "Modules/ModuleManager.h"
#include "SettingsRegistry.h"

/** The registry module: owns the containers; they live as long as the module object. */
class FSettingsModule final : public ISettingsModule
{
public:
	FSettingsModule()
	{
		// A module may register in StartupModule before anyone asked for a container, so both exist from the start.
		Containers.Add(MakeShared<FSettingsContainer>(FName("Project")));
		Containers.Add(MakeShared<FSettingsContainer>(FName("Editor")));
	}

	TSharedPtr<ISettingsContainer> GetContainer(const FName& ContainerName) override { return FindContainer(ContainerName); }

	int32 GetContainerNames(TArray<FName>& OutNames) const override
	{
		OutNames.Reset();
		for (const TSharedRef<FSettingsContainer>& Container : Containers)
		{
			OutNames.Add(Container->GetName());
		}
		return OutNames.Num();
	}

	TSharedPtr<ISettingsSection> RegisterSettings(const FName& ContainerName, const FName& CategoryName, const FName& SectionName, const FText& DisplayName,
	                                              const FText& Description, const TWeakObjectPtr<UObject>& SettingsObject) override
	{
		const TSharedPtr<FSettingsContainer> Container = FindContainer(ContainerName);
		return Container ? Container->AddSection(CategoryName, SectionName, DisplayName, Description, SettingsObject) : nullptr;
	}

	void UnregisterSettings(const FName& ContainerName, const FName& CategoryName, const FName& SectionName) override
	{
		if (const TSharedPtr<FSettingsContainer> Container = FindContainer(ContainerName))
		{
			Container->RemoveSection(CategoryName, SectionName);
		}
	}

private:
	TSharedPtr<FSettingsContainer> FindContainer(const FName& ContainerName) const
	{
		for (const TSharedRef<FSettingsContainer>& Container : Containers)
		{
			if (Container->GetName() == ContainerName)
			{
				return Container;
			}
		}
		return nullptr;
	}

	TArray<TSharedRef<FSettingsContainer>> Containers;
};

IMPLEMENT_MODULE(FSettingsModule, Settings)
