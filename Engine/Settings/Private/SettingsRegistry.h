// The registry's objects. A container owns its categories and a category its sections; a section only points
// back at its category weakly, so that handing a section out never keeps a removed category alive.
#pragma once

#include "CoreMinimal.h"
#include "ISettingsCategory.h"
#include "ISettingsContainer.h"
#include "ISettingsSection.h"

class FSettingsSection final : public ISettingsSection
{
public:
	FSettingsSection(const TWeakPtr<ISettingsCategory>& InCategory, const FName& InName, const FText& InDisplayName, const FText& InDescription,
	                 const TWeakObjectPtr<UObject>& InSettingsObject);

	FName GetName() const override { return Name; }
	FText GetDisplayName() const override { return DisplayName; }
	FText GetDescription() const override { return Description; }
	TWeakPtr<ISettingsCategory> GetCategory() override { return Category; }
	TWeakObjectPtr<UObject> GetSettingsObject() const override { return SettingsObject; }

	bool NotifySectionOnPropertyModified() override;
	bool Save() override;
	bool SaveDefaults() override;
	bool ResetDefaults() override;

	FOnModified& OnModified() override { return ModifiedDelegate; }
	FOnSave& OnSave() override { return SaveDelegate; }
	FOnSaveDefaults& OnSaveDefaults() override { return SaveDefaultsDelegate; }
	FOnResetDefaults& OnResetDefaults() override { return ResetDefaultsDelegate; }

private:
	TWeakPtr<ISettingsCategory> Category;
	FName Name;
	FText DisplayName;
	FText Description;
	TWeakObjectPtr<UObject> SettingsObject;
	FOnModified ModifiedDelegate;
	FOnSave SaveDelegate;
	FOnSaveDefaults SaveDefaultsDelegate;
	FOnResetDefaults ResetDefaultsDelegate;
};

class FSettingsCategory final : public ISettingsCategory
{
public:
	explicit FSettingsCategory(const FName& InName);

	FName GetName() const override { return Name; }
	FText GetDisplayName() const override { return DisplayName; }
	FText GetDescription() const override { return Description; }
	TSharedPtr<ISettingsSection> GetSection(const FName& SectionName) const override;
	int32 GetSections(TArray<TSharedPtr<ISettingsSection>>& OutSections) const override;

	void Describe(const FText& InDisplayName, const FText& InDescription);
	/** Puts the section in place of one of the same name, or after the others. */
	void AddSection(const TSharedRef<FSettingsSection>& Section);
	/** False when the category has no section of that name. */
	bool RemoveSection(const FName& SectionName);

private:
	int32 FindSectionIndex(const FName& SectionName) const;

	FName Name;
	FText DisplayName;
	FText Description;
	TArray<TSharedRef<FSettingsSection>> Sections;
};

class FSettingsContainer final : public ISettingsContainer
{
public:
	explicit FSettingsContainer(const FName& InName)
	    : Name(InName)
	{
	}

	FName GetName() const override { return Name; }
	void DescribeCategory(const FName& CategoryName, const FText& DisplayName, const FText& Description) override;
	TSharedPtr<ISettingsCategory> GetCategory(const FName& CategoryName) const override;
	int32 GetCategories(TArray<TSharedPtr<ISettingsCategory>>& OutCategories) const override;

	/** The new section, or null when a name is None. */
	TSharedPtr<ISettingsSection> AddSection(const FName& CategoryName, const FName& SectionName, const FText& DisplayName, const FText& Description,
	                                        const TWeakObjectPtr<UObject>& SettingsObject);
	/** False when nothing matched. */
	bool RemoveSection(const FName& CategoryName, const FName& SectionName);

private:
	TSharedPtr<FSettingsCategory> FindCategory(const FName& CategoryName) const;
	TSharedRef<FSettingsCategory> FindOrAddCategory(const FName& CategoryName);

	FName Name;
	TArray<TSharedRef<FSettingsCategory>> Categories;
};
