#include "OrvidaLiveLinkSourceSettings.h"
#include "OrvidaLiveLinkSource.h"
#include "OrvidaLiveLinkSourceCreation.h"

#include "LiveLinkSourceFactory.h"
#include "LoopbackUdp.h"
#include "StandIn/LiveLinkClient.h"
#include "StandIn/UObjectRegistry.h"
#include "Templates/Casts.h"
#include "UObject/UObjectGlobals.h"
#include "UObject/UnrealType.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
std::string ToUtf8(const FString& Text) { return TCHAR_TO_UTF8(*Text); }

/** Sources made as the Live Link panel makes them, on a stand-in client, and presets saved and applied as the engine does. */
class OrvidaLiveLinkSourceSettingsTest : public testing::Test
{
protected:
	void TearDown() override
	{
		for (const FGuid& Guid : Client.GetSourceGuids())
		{
			Client.RemoveSource(Guid);
		}
		Client.Tick();
	}

	/** A source from the creation panel's values; the panel then fills in the connection string and the factory. */
	FGuid AddThroughPanel(bool bAutoLens, bool bAutoSceneTakeUpdate, bool bAutoRecord, const TCHAR* SubjectName = TEXT(""))
	{
		FString ConnectionString;
		const FGuid Guid = Client.AddSource(OrvidaLiveLinkSourceCreation::CreateSource(
		    FOrvidaLiveLinkConnectionSettings{FIPv4Endpoint(FIPv4Address::InternalLoopback, LoopbackUdp::PickFreePort()), bAutoLens, bAutoSceneTakeUpdate,
		                                      bAutoRecord, FIPv4Address::Any, SubjectName},
		    ConnectionString));
		ULiveLinkSourceSettings* Settings = Client.GetSourceSettings(Guid);
		Settings->ConnectionString = ConnectionString;
		Settings->Factory = FactoryClass();
		return Guid;
	}

	static UClass* FactoryClass() { return FUObjectRegistry::Get().FindClass(TEXT("/Script/OrvidaLiveLink"), TEXT("OrvidaLiveLinkSourceFactory")); }

	UOrvidaLiveLinkSourceSettings& SettingsOf(const FGuid& Guid)
	{
		UOrvidaLiveLinkSourceSettings* Settings = Cast<UOrvidaLiveLinkSourceSettings>(Client.GetSourceSettings(Guid));
		EXPECT_NE(Settings, nullptr);
		return *Settings;
	}

	FOrvidaLiveLinkSource& SourceOf(const FGuid& Guid) { return *StaticCastSharedPtr<FOrvidaLiveLinkSource>(Client.GetSource(Guid)); }

	/** Tells the source its settings changed in the details, as the panel does after each edit. */
	void ChangeInDetails(const FGuid& Guid, const TCHAR* PropertyName)
	{
		UOrvidaLiveLinkSourceSettings& Settings = SettingsOf(Guid);
		FProperty* Changed = nullptr;
		for (TFieldIterator<FProperty> It(Settings.GetClass()); It; ++It)
		{
			Changed = It->GetFName() == FName(PropertyName) ? *It : Changed;
		}
		ASSERT_NE(Changed, nullptr) << ToUtf8(PropertyName);
		Client.GetSource(Guid)->OnSettingsChanged(&Settings, FPropertyChangedEvent(Changed, EPropertyChangeType::ValueSet));
	}

	/** As the engine applies a preset: every source removed, a tick, then each made again from its saved copy. */
	void Apply(const TArray<FLiveLinkSourcePreset>& Preset)
	{
		for (const FGuid& Guid : Client.GetSourceGuids())
		{
			Client.RemoveSource(Guid);
		}
		Client.Tick();
		for (const FLiveLinkSourcePreset& Source : Preset)
		{
			EXPECT_TRUE(Client.CreateSource(Source));
		}
	}

	FLiveLinkClient Client;
};

// Faults caught: every source publishing under one fixed name, so that the client enables only one of two cameras;
// a name changed in the details that the source does not take; the subject under the old name left behind, enabled;
// a name given in the creation panel that the source does not publish under from its first push, or that its fresh
// settings do not read; a name from the details kept with the spaces around it.
TEST_F(OrvidaLiveLinkSourceSettingsTest, EachSubjectNameIsEnabledAndOneNameOnlyOnce)
{
	struct FRow
	{
		const TCHAR* FirstName;
		const TCHAR* SecondName;
		int32 Enabled;
		bool bNamedInPanel;
	};
	// A name typed with spaces around it is the name without them: in a list of subjects the two look the same.
	for (const FRow& Row : {FRow{TEXT("A Cam"), TEXT("B Cam"), 2, false}, FRow{TEXT("Orvida - Camera"), TEXT("Orvida - Camera"), 1, false},
	                        FRow{TEXT("A Cam"), TEXT(" A Cam "), 1, false}, FRow{TEXT("A Cam"), TEXT("B Cam"), 2, true}})
	{
		const FGuid First = AddThroughPanel(false, true, false, Row.bNamedInPanel ? Row.FirstName : TEXT(""));
		const FGuid Second = AddThroughPanel(false, true, false, Row.bNamedInPanel ? Row.SecondName : TEXT(""));
		// Both subjects are there, under the default name until the user renames them in the details.
		Client.Tick();
		Client.Tick();
		if (Row.bNamedInPanel)
		{
			EXPECT_EQ(ToUtf8(SettingsOf(Second).SubjectName), ToUtf8(Row.SecondName));
			EXPECT_TRUE(Client.GetSubjects().Contains(FLiveLinkSubjectKey(Second, FName(Row.SecondName))));
		}
		else
		{
			SettingsOf(First).SubjectName = Row.FirstName;
			ChangeInDetails(First, TEXT("SubjectName"));
			SettingsOf(Second).SubjectName = Row.SecondName;
			ChangeInDetails(Second, TEXT("SubjectName"));
			Client.Tick();
			Client.Tick();
		}

		int32 Enabled = 0;
		for (const FLiveLinkSubjectKey& Key : Client.GetSubjects())
		{
			Enabled += Client.IsSubjectEnabled(Key, false) ? 1 : 0;
		}
		EXPECT_EQ(Client.GetSubjects().Num(), 2) << ToUtf8(Row.SecondName);
		EXPECT_EQ(Enabled, Row.Enabled) << ToUtf8(Row.SecondName);
		EXPECT_TRUE(Client.IsSubjectEnabled(FLiveLinkSubjectKey(First, FName(Row.FirstName)), false)) << "the first of a name keeps it";
		TearDown();
	}
}

// Faults caught: a preset that brings a source back with the fixed options and the default name whatever it was
// saved with; values taken from settings that hold none (a preset from before, or a version 0); a connection string
// changed to carry the options.
TEST_F(OrvidaLiveLinkSourceSettingsTest, APresetRestoresWhatItWasSavedWithAndAPresetFromBeforeTheFixedOptions)
{
	enum class EKind
	{
		Saved,
		SavedVersionZero,
		BeforeSettings
	};
	struct FRow
	{
		EKind Kind;
		const char* Name;
		bool bAutoLens, bAutoSceneTakeUpdate, bAutoRecord;
	};
	for (const FRow& Row : {FRow{EKind::Saved, "B Cam", false, true, true}, FRow{EKind::SavedVersionZero, "Orvida - Camera", false, true, false},
	                        FRow{EKind::BeforeSettings, "Orvida - Camera", false, true, false}})
	{
		const FGuid Guid = AddThroughPanel(true, false, false);
		SettingsOf(Guid).SubjectName = TEXT("B Cam");
		SettingsOf(Guid).bAutoLens = false;
		SettingsOf(Guid).bAutoSceneTakeUpdate = true;
		SettingsOf(Guid).bAutoRecord = true;
		ChangeInDetails(Guid, TEXT("bAutoRecord"));
		FLiveLinkSourcePreset Saved = Client.GetSourcePreset(Guid, nullptr);
		ASSERT_NE(Saved.Settings, nullptr);
		const FString ConnectionString = Saved.Settings->ConnectionString;
		if (Row.Kind == EKind::SavedVersionZero)
		{
			Cast<UOrvidaLiveLinkSourceSettings>(Saved.Settings)->SavedVersion = 0;
		}
		else if (Row.Kind == EKind::BeforeSettings)
		{
			// What a preset saved before the source had settings of its own holds.
			ULiveLinkSourceSettings* Before = NewObject<ULiveLinkSourceSettings>();
			Before->ConnectionString = ConnectionString;
			Before->Factory = FactoryClass();
			Saved.Settings->MarkPendingKill();
			Saved.Settings = Before;
		}

		Apply({Saved});
		Saved.Settings->MarkPendingKill();
		ASSERT_EQ(Client.GetSourceGuids().Num(), 1);
		EXPECT_TRUE(Client.GetSourceGuids()[0] == Guid) << "the preset's guid";
		const FOrvidaLiveLinkConnectionSettings Options = SourceOf(Guid).GetConnectionSettings();
		EXPECT_EQ(ToUtf8(SourceOf(Guid).GetSubjectName().ToString()), Row.Name) << int(Row.Kind);
		EXPECT_EQ(Options.bAutoLens, Row.bAutoLens) << int(Row.Kind);
		EXPECT_EQ(Options.bAutoSceneTakeUpdate, Row.bAutoSceneTakeUpdate) << int(Row.Kind);
		EXPECT_EQ(Options.bAutoRecord, Row.bAutoRecord) << int(Row.Kind);
		EXPECT_EQ(ToUtf8(Client.GetSourceSettings(Guid)->ConnectionString), ToUtf8(ConnectionString)) << int(Row.Kind);
		EXPECT_EQ(ToUtf8(ConnectionString), ToUtf8(Options.Endpoint.ToString())) << "the string is the endpoint alone";
		TearDown();
	}
}
} // namespace
