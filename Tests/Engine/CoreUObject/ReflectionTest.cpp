#include "LiveLinkSourceFactory.h"
#include "LiveLinkSourceSettings.h"
#include "StandIn/UObjectRegistry.h"
#include "TestConfigSettings.h"
#include "UObject/Class.h"
#include "UObject/UObjectGlobals.h"
#include "UObject/UObjectHash.h"
#include "UObject/UnrealType.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
/** Counts constructions, so a second default object shows. */
class UCountedObject : public UObject
{
	DECLARE_CLASS_INTRINSIC(UCountedObject, UObject)

public:
	static inline int32 Constructed = 0;
	UCountedObject() { ++Constructed; }
	int32 Value = 42;
};

class UTestFactoryA : public ULiveLinkSourceFactory
{
	DECLARE_CLASS_INTRINSIC(UTestFactoryA, ULiveLinkSourceFactory)

public:
	FText GetSourceDisplayName() const override { return FText::FromString(TEXT("A")); }
	FText GetSourceTooltip() const override { return FText(); }
	TSharedPtr<ILiveLinkSource> CreateSource(const FString&) const override { return nullptr; }
};

/** Derives from a factory, not from the base directly: only a recursive search finds it. */
class UTestFactoryB : public UTestFactoryA
{
	DECLARE_CLASS_INTRINSIC(UTestFactoryB, UTestFactoryA)

public:
	EMenuType GetMenuType() const override { return EMenuType::SubPanel; }
};

std::vector<std::string> NamesOf(const TArray<UClass*>& Classes)
{
	std::vector<std::string> Names;
	for (int32 Index = 0; Index < Classes.Num(); ++Index)
	{
		Names.push_back(TCHAR_TO_UTF8(*Classes[Index]->GetName()));
	}
	return Names;
}

bool Contains(const std::vector<std::string>& Names, const char* Name) { return std::find(Names.begin(), Names.end(), Name) != Names.end(); }

UClass* ScratchClass()
{
	static UClass Class(TEXT("UScratch"), UObject::StaticClass(), CLASS_None, nullptr, TEXT("/Script/Scratch"));
	return &Class;
}
} // namespace

IMPLEMENT_CLASS_INTRINSIC(UCountedObject)
IMPLEMENT_CLASS_INTRINSIC(UTestFactoryA)
IMPLEMENT_CLASS_INTRINSIC(UTestFactoryB)

TEST(DefaultObject, IsMadeOnceThroughTheClassAndHoldsTheConstructorDefaults)
{
	EXPECT_EQ(UCountedObject::StaticClass()->GetDefaultObject(false), nullptr);
	const int32 Before = UCountedObject::Constructed;
	const UCountedObject* First = GetDefault<UCountedObject>();
	UCountedObject* Second = GetMutableDefault<UCountedObject>();
	ASSERT_NE(First, nullptr);
	EXPECT_EQ(First, Second);
	EXPECT_EQ(UCountedObject::Constructed, Before + 1);
	EXPECT_EQ(First->Value, 42);
	EXPECT_EQ(First->GetClass(), UCountedObject::StaticClass());
	EXPECT_EQ(UCountedObject::StaticClass()->GetDefaultObject(false), First);
}

TEST(DefaultObject, AbstractClassesHaveNone)
{
	EXPECT_TRUE(ULiveLinkSourceFactory::StaticClass()->HasAnyClassFlags(CLASS_Abstract));
	EXPECT_EQ(ULiveLinkSourceFactory::StaticClass()->GetDefaultObject(), nullptr);
	EXPECT_EQ(GetDefault<ULiveLinkSourceFactory>(), nullptr);
	// The derived factories are what the editor uses through their default objects.
	ASSERT_NE(GetDefault<UTestFactoryB>(), nullptr);
	EXPECT_EQ(GetDefault<UTestFactoryB>()->GetMenuType(), ULiveLinkSourceFactory::EMenuType::SubPanel);
	EXPECT_EQ(GetDefault<UTestFactoryA>()->GetMenuType(), ULiveLinkSourceFactory::EMenuType::Disabled) << "the base's default";
	EXPECT_EQ(GetDefault<UTestFactoryA>()->BuildCreationPanel(ULiveLinkSourceFactory::FOnLiveLinkSourceCreated()), nullptr);
}

TEST(ObjectRegistry, FindsDerivedClassesDirectlyOrThroughAnyDepth)
{
	TArray<UClass*> All;
	GetDerivedClasses(ULiveLinkSourceFactory::StaticClass(), All);
	const std::vector<std::string> AllNames = NamesOf(All);
	EXPECT_TRUE(Contains(AllNames, "TestFactoryA"));
	EXPECT_TRUE(Contains(AllNames, "TestFactoryB"));
	EXPECT_FALSE(Contains(AllNames, "LiveLinkSourceFactory"));
	EXPECT_FALSE(Contains(AllNames, "CountedObject"));

	TArray<UClass*> Direct;
	GetDerivedClasses(ULiveLinkSourceFactory::StaticClass(), Direct, false);
	EXPECT_TRUE(Contains(NamesOf(Direct), "TestFactoryA"));
	EXPECT_FALSE(Contains(NamesOf(Direct), "TestFactoryB"));

	TArray<UClass*> None;
	GetDerivedClasses(nullptr, None);
	EXPECT_EQ(None.Num(), 0);
}

TEST(ObjectRegistry, FindsClassesByPackageAndName)
{
	FUObjectRegistry& Registry = FUObjectRegistry::Get();
	EXPECT_EQ(Registry.FindClass(TEXT("/Script/EngineTests"), TEXT("TestConfigSettings")), UTestConfigSettings::StaticClass());
	EXPECT_EQ(Registry.FindClass(TEXT("/Script/LiveLinkInterface"), TEXT("LiveLinkSourceSettings")), ULiveLinkSourceSettings::StaticClass());
	EXPECT_EQ(Registry.FindClass(TEXT("/Script/CoreUObject"), TEXT("Object")), UObject::StaticClass());
	// The same name in another package is another class.
	EXPECT_EQ(Registry.FindClass(TEXT("/Script/LiveLink"), TEXT("LiveLinkSourceSettings")), nullptr);
	EXPECT_EQ(Registry.FindClass(TEXT("/Script/EngineTests"), TEXT("NoSuchClass")), nullptr);
	EXPECT_GE(Registry.GetPackageNames().Find(FString(TEXT("/Script/LiveLinkInterface"))), 0);
}

TEST(ObjectRegistry, ClassesLeaveWhenTheirLibraryUnloads)
{
	FUObjectRegistry& Registry = FUObjectRegistry::Get();
	{
		// What a library's static initialisation and static destruction do for each class.
		UE::CoreUObject::Private::FRegisterCompiledInClass Registration(&ScratchClass);
		EXPECT_EQ(Registry.FindClass(TEXT("/Script/Scratch"), TEXT("Scratch")), ScratchClass());
		TArray<UClass*> Derived;
		GetDerivedClasses(UObject::StaticClass(), Derived);
		EXPECT_TRUE(Contains(NamesOf(Derived), "Scratch"));
	}
	EXPECT_EQ(Registry.FindClass(TEXT("/Script/Scratch"), TEXT("Scratch")), nullptr);
	TArray<UClass*> Derived;
	GetDerivedClasses(UObject::StaticClass(), Derived);
	EXPECT_FALSE(Contains(NamesOf(Derived), "Scratch"));
	EXPECT_EQ(Registry.GetPackageNames().Find(FString(TEXT("/Script/Scratch"))), INDEX_NONE);
}

TEST(ClassDescription, CarriesConfigFlagsTooltipAndPropertiesInDeclarationOrder)
{
	const UClass* Class = UTestConfigSettings::StaticClass();
	EXPECT_TRUE(Class->HasAnyClassFlags(CLASS_Config));
	EXPECT_TRUE(Class->HasAnyClassFlags(CLASS_DefaultConfig));
	EXPECT_FALSE(Class->HasAnyClassFlags(CLASS_Abstract));
	EXPECT_EQ(Class->GetConfigName(), FName(TEXT("Game")));
	EXPECT_EQ(Class->GetPathName(), TEXT("/Script/EngineTests.TestConfigSettings"));
	EXPECT_EQ(Class->GetToolTipText(), TEXT("Settings for the config tests."));
	EXPECT_FALSE(UCountedObject::StaticClass()->HasAnyClassFlags(CLASS_Config));
	EXPECT_TRUE(UCountedObject::StaticClass()->GetConfigName().IsNone());

	std::vector<std::string> Names;
	for (TFieldIterator<FProperty> It(Class); It; ++It)
	{
		Names.push_back(TCHAR_TO_UTF8(*It->GetName()));
	}
	EXPECT_EQ(Names, (std::vector<std::string>{"Address", "Port", "bEnabled", "Gain", "SessionOnly"}));

	const FProperty* Port = Class->FindPropertyByName(FName(TEXT("Port")));
	ASSERT_NE(Port, nullptr);
	EXPECT_EQ(Port->GetCPPType(), TEXT("int32"));
	EXPECT_TRUE(Port->HasAllPropertyFlags(CPF_Config | CPF_Edit));
	EXPECT_EQ(Port->GetMetaData(TEXT("ToolTip")), TEXT("Port to listen on"));
	EXPECT_EQ(Port->GetMetaData(TEXT("Category")), TEXT("Test"));
	EXPECT_EQ(Port->GetMetaData(TEXT("NoSuchKey")), TEXT(""));
	EXPECT_EQ(Port->GetMetaData(nullptr), TEXT(""));
	const FProperty* SessionOnly = Class->FindPropertyByName(FName(TEXT("SessionOnly")));
	ASSERT_NE(SessionOnly, nullptr);
	EXPECT_FALSE(SessionOnly->HasAnyPropertyFlags(CPF_Config));
	EXPECT_EQ(Class->FindPropertyByName(FName(TEXT("Missing"))), nullptr);
}

TEST(ClassDescription, PropertiesReadAndWriteTheirOwnMember)
{
	UTestConfigSettings Object;
	const UClass* Class = UTestConfigSettings::StaticClass();
	ASSERT_TRUE(Class->FindPropertyByName(FName(TEXT("Address")))->ImportText_InContainer(TEXT("10.1.2.3"), &Object));
	ASSERT_TRUE(Class->FindPropertyByName(FName(TEXT("Port")))->ImportText_InContainer(TEXT("7000"), &Object));
	ASSERT_TRUE(Class->FindPropertyByName(FName(TEXT("bEnabled")))->ImportText_InContainer(TEXT("False"), &Object));
	ASSERT_TRUE(Class->FindPropertyByName(FName(TEXT("Gain")))->ImportText_InContainer(TEXT("0.25"), &Object));
	// Each write lands on its own member and no other: a wrong offset shows here.
	EXPECT_EQ(Object.Address, TEXT("10.1.2.3"));
	EXPECT_EQ(Object.Port, 7000);
	EXPECT_FALSE(Object.bEnabled);
	EXPECT_EQ(Object.Gain, 0.25f);
	EXPECT_EQ(Object.SessionOnly, 3);
	EXPECT_EQ(Class->FindPropertyByName(FName(TEXT("Port")))->ExportText_InContainer(&Object), TEXT("7000"));
	EXPECT_EQ(Class->FindPropertyByName(FName(TEXT("Port")))->ExportText_InContainer(nullptr), TEXT(""));
	EXPECT_FALSE(Class->FindPropertyByName(FName(TEXT("Port")))->ImportText_InContainer(TEXT("1"), nullptr));
}

struct FTextCase
{
	const char* Property;
	const char16_t* Text;
	bool bAccepted;
	/** What the property exports afterwards: the new value, or the old one for a refused text. */
	const char16_t* Exported;
};

class PropertyText : public testing::TestWithParam<FTextCase>
{
};

TEST_P(PropertyText, ImportsWholeValuesAndRefusesTheRest)
{
	const FTextCase& Case = GetParam();
	UTestConfigSettings Object;
	const FProperty* Property = UTestConfigSettings::StaticClass()->FindPropertyByName(FName(Case.Property));
	ASSERT_NE(Property, nullptr);
	EXPECT_EQ(Property->ImportText_InContainer(FString(Case.Text), &Object), Case.bAccepted);
	EXPECT_EQ(Property->ExportText_InContainer(&Object), FString(Case.Exported));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PropertyText,
    testing::Values(FTextCase{"Port", u"123", true, u"123"}, FTextCase{"Port", u" -45 ", true, u"-45"}, FTextCase{"Port", u"+8", true, u"8"},
                    FTextCase{"Port", u"2147483647", true, u"2147483647"}, FTextCase{"Port", u"2147483648", false, u"9001"},
                    FTextCase{"Port", u"12abc", false, u"9001"}, FTextCase{"Port", u"1.5", false, u"9001"}, FTextCase{"Port", u"", false, u"9001"},
                    FTextCase{"Port", u"+-3", false, u"9001"}, FTextCase{"Port", u"٣", false, u"9001"}, FTextCase{"bEnabled", u"false", true, u"False"},
                    FTextCase{"bEnabled", u"0", true, u"False"}, FTextCase{"bEnabled", u"Off", true, u"False"}, FTextCase{"bEnabled", u"TRUE", true, u"True"},
                    FTextCase{"bEnabled", u"Nope", false, u"True"}, FTextCase{"bEnabled", u"", false, u"True"}, FTextCase{"Gain", u"2", true, u"2"},
                    FTextCase{"Gain", u"-0.125", true, u"-0.125"}, FTextCase{"Gain", u"1e3", true, u"1000"}, FTextCase{"Gain", u"1e40", false, u"1.5"},
                    FTextCase{"Gain", u"nan", false, u"1.5"}, FTextCase{"Gain", u"inf", false, u"1.5"}, FTextCase{"Gain", u"0.5x", false, u"1.5"},
                    FTextCase{"Address", u"any text at all", true, u"any text at all"}, FTextCase{"Address", u"", true, u""}));
