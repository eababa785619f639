#include "SettingsRegistry.h"

#include "UObject/Class.h"

FSettingsSection::FSettingsSection(const TWeakPtr<ISettingsCategory>& InCategory, const FName& InName, const FText& InDisplayName, const FText& InDescription,
                                   const TWeakObjectPtr<UObject>& InSettingsObject)
    : Category(InCategory)
    , Name(InName)
    , DisplayName(InDisplayName)
    , Description(InDescription)
    , SettingsObject(InSettingsObject)
{
}

bool FSettingsSection::NotifySectionOnPropertyModified() { return !ModifiedDelegate.IsBound() || ModifiedDelegate.Execute(); }

bool FSettingsSection::Save()
{
	if (!NotifySectionOnPropertyModified())
	{
		return false;
	}
	if (SaveDelegate.IsBound())
	{
		return SaveDelegate.Execute();
	}
	UObject* Object = SettingsObject.Get();
	if (Object == nullptr)
	{
		return false;
	}
	// Where the editor writes a settings object nobody saves for: a defaultconfig class to the project's
	// defaults, any other to its own config file. The editor answers true whatever the write did; a failed write
	// is reported here, so that a lost save never reads as a saved one.
	return Object->GetClass()->HasAnyClassFlags(CLASS_DefaultConfig) ? Object->UpdateDefaultConfigFile() : Object->SaveConfig();
}

bool FSettingsSection::SaveDefaults() { return SaveDefaultsDelegate.IsBound() && SaveDefaultsDelegate.Execute(); }

bool FSettingsSection::ResetDefaults() { return ResetDefaultsDelegate.IsBound() && ResetDefaultsDelegate.Execute(); }

FSettingsCategory::FSettingsCategory(const FName& InName)
    : Name(InName)
    , DisplayName(FText::FromString(InName.ToString()))
{
}

TSharedPtr<ISettingsSection> FSettingsCategory::GetSection(const FName& SectionName) const
{
	const int32 Index = FindSectionIndex(SectionName);
	return Index == INDEX_NONE ? TSharedPtr<ISettingsSection>() : TSharedPtr<ISettingsSection>(Sections[Index]);
}

int32 FSettingsCategory::GetSections(TArray<TSharedPtr<ISettingsSection>>& OutSections) const
{
	OutSections.Reset();
	for (const TSharedRef<FSettingsSection>& Section : Sections)
	{
		OutSections.Add(Section);
	}
	return OutSections.Num();
}

void FSettingsCategory::Describe(const FText& InDisplayName, const FText& InDescription)
{
	DisplayName = InDisplayName;
	Description = InDescription;
}

void FSettingsCategory::AddSection(const TSharedRef<FSettingsSection>& Section)
{
	const int32 Index = FindSectionIndex(Section->GetName());
	if (Index == INDEX_NONE)
	{
		Sections.Add(Section);
	}
	else
	{
		Sections[Index] = Section;
	}
}

bool FSettingsCategory::RemoveSection(const FName& SectionName)
{
	const int32 Index = FindSectionIndex(SectionName);
	if (Index == INDEX_NONE)
	{
		return false;
	}
	Sections.RemoveAt(Index);
	return true;
}

int32 FSettingsCategory::FindSectionIndex(const FName& SectionName) const
{
	for (int32 Index = 0; Index < Sections.Num(); ++Index)
	{
		if (Sections[Index]->GetName() == SectionName)
		{
			return Index;
		}
	}
	return INDEX_NONE;
}

void FSettingsContainer::DescribeCategory(const FName& CategoryName, const FText& DisplayName, const FText& Description)
{
	if (CategoryName.IsNone())
	{
		return;
	}
	FindOrAddCategory(CategoryName)->Describe(DisplayName, Description);
}

TSharedPtr<ISettingsCategory> FSettingsContainer::GetCategory(const FName& CategoryName) const { return FindCategory(CategoryName); }

int32 FSettingsContainer::GetCategories(TArray<TSharedPtr<ISettingsCategory>>& OutCategories) const
{
	OutCategories.Reset();
	for (const TSharedRef<FSettingsCategory>& Category : Categories)
	{
		OutCategories.Add(Category);
	}
	return OutCategories.Num();
}

TSharedPtr<ISettingsSection> FSettingsContainer::AddSection(const FName& CategoryName, const FName& SectionName, const FText& DisplayName,
                                                            const FText& Description, const TWeakObjectPtr<UObject>& SettingsObject)
{
	if (CategoryName.IsNone() || SectionName.IsNone())
	{
		return nullptr;
	}
	const TSharedRef<FSettingsCategory> Category = FindOrAddCategory(CategoryName);
	const TSharedRef<FSettingsSection> Section =
	    MakeShared<FSettingsSection>(TWeakPtr<ISettingsCategory>(Category), SectionName, DisplayName, Description, SettingsObject);
	Category->AddSection(Section);
	return Section;
}

bool FSettingsContainer::RemoveSection(const FName& CategoryName, const FName& SectionName)
{
	const TSharedPtr<FSettingsCategory> Category = FindCategory(CategoryName);
	return Category.IsValid() && Category->RemoveSection(SectionName);
}

TSharedPtr<FSettingsCategory> FSettingsContainer::FindCategory(const FName& CategoryName) const
{
	for (const TSharedRef<FSettingsCategory>& Category : Categories)
	{
		if (Category->GetName() == CategoryName)
		{
			return Category;
		}
	}
	return nullptr;
}

TSharedRef<FSettingsCategory> FSettingsContainer::FindOrAddCategory(const FName& CategoryName)
{
	if (const TSharedPtr<FSettingsCategory> Existing = FindCategory(CategoryName))
	{
		return Existing.ToSharedRef();
	}
	const TSharedRef<FSettingsCategory> Category = MakeShared<FSettingsCategory>(CategoryName);
	Categories.Add(Category);
	return Category;
}
