#include "LiveLinkSourceFactory.h"

#include "Features/IModularFeatures.h"

#include "LogCapture.h"
#include "LoopbackUdp.h"
#include "OrvidaLiveLinkRuntimeSettings.h"
#include "OrvidaLiveLinkSource.h"
#include "OrvidaLiveLinkSourceCreation.h"
#include "SOrvidaLiveLinkSourceFactory.h"
#include "StandIn/LiveLinkClient.h"
#include "StandIn/SlateUserInput.h"
#include "StandIn/SlateWidgetTree.h"
#include "StandIn/UObjectRegistry.h"
#include "UObject/UObjectGlobals.h"
#include "Widgets/Input/SButton.h"
#include "Widgets/Input/SCheckBox.h"
#include "Widgets/Input/SEditableTextBox.h"
#include "Widgets/Layout/SBox.h"
#include "Widgets/Text/STextBlock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{
std::string ToUtf8(const FText& Text) { return TCHAR_TO_UTF8(*Text.ToString()); }

void CollectWidgets(const TSharedRef<SWidget>& Widget, std::vector<TSharedRef<SWidget>>& Out)
{
	Out.push_back(Widget);
	for (const TSharedRef<SWidget>& Child : FSlateWidgetTree::GetChildren(*Widget))
	{
		CollectWidgets(Child, Out);
	}
}

/** A panel as the editor gets it from the factory, with its widgets found the way a host finds them. */
class OrvidaLiveLinkSourceFactoryTest : public testing::Test
{
protected:
	void SetUp() override
	{
		Settings = GetMutableDefault<UOrvidaLiveLinkRuntimeSettings>();
		Saved = {Settings->NetworkServerAddressByDefault,
		         Settings->NetworkPortIdByDefault,
		         Settings->bAutoLens,
		         Settings->bAutoSceneTakeUpdate,
		         Settings->bAutoRecord,
		         Settings->SubjectNameByDefault};
		SetSettings(TEXT("0.0.0.0"), 9001, true, true, false);
		Settings->SubjectNameByDefault = TEXT("Orvida - Camera");
		// As the editor makes it: a transient instance of the registered class, found without the plug-in's headers.
		UClass* Class = FUObjectRegistry::Get().FindClass(TEXT("/Script/OrvidaLiveLink"), TEXT("OrvidaLiveLinkSourceFactory"));
		ASSERT_NE(Class, nullptr);
		FactoryObject = NewObject<ULiveLinkSourceFactory>(nullptr, Class);
	}

	void TearDown() override
	{
		DestroyFactory();
		SetSettings(Saved.Address, Saved.Port, Saved.bLens, Saved.bTake, Saved.bRecord);
		Settings->SubjectNameByDefault = Saved.SubjectName;
	}

	/** What the editor's collector does to the factory once its panel closed; nothing when it is gone already. */
	void DestroyFactory()
	{
		if (ULiveLinkSourceFactory* Factory = FactoryObject.Get())
		{
			Factory->MarkPendingKill();
			CollectGarbage(RF_NoFlags);
		}
	}

	void SetSettings(const FString& Address, int32 Port, bool bLens, bool bTake, bool bRecord)
	{
		Settings->NetworkServerAddressByDefault = Address;
		Settings->NetworkPortIdByDefault = Port;
		Settings->bAutoLens = bLens;
		Settings->bAutoSceneTakeUpdate = bTake;
		Settings->bAutoRecord = bRecord;
	}

	/** Builds a panel whose callback keeps what the factory hands the editor (or none, when unbound). */
	void OpenPanel(bool bBindCallback = true)
	{
		ULiveLinkSourceFactory::FOnLiveLinkSourceCreated Callback;
		if (bBindCallback)
		{
			Callback = ULiveLinkSourceFactory::FOnLiveLinkSourceCreated::CreateLambda(
			    [this](TSharedPtr<ILiveLinkSource> Source, FString ConnectionString)
			    {
				    Created.push_back(Source);
				    ConnectionStrings.push_back(TCHAR_TO_UTF8(*ConnectionString));
			    });
		}
		const TSharedPtr<SWidget> Built = Factory()->BuildCreationPanel(Callback);
		ASSERT_TRUE(Built.IsValid());
		Panel = Built;
		std::vector<TSharedRef<SWidget>> Widgets;
		CollectWidgets(Built.ToSharedRef(), Widgets);
		std::vector<TSharedPtr<SEditableTextBox>> TextBoxes;
		for (const TSharedRef<SWidget>& Widget : Widgets)
		{
			const FString& Type = Widget->GetTypeAsString();
			if (Type == TEXT("SEditableTextBox"))
			{
				TextBoxes.push_back(StaticCastSharedRef<SEditableTextBox>(Widget));
			}
			else if (Type == TEXT("SCheckBox"))
			{
				CheckBoxes.push_back(StaticCastSharedRef<SCheckBox>(Widget));
			}
			else if (Type == TEXT("SButton"))
			{
				Button = StaticCastSharedRef<SButton>(Widget);
			}
			else if (Type == TEXT("SBox"))
			{
				Box = StaticCastSharedRef<SBox>(Widget);
			}
		}
		// The rows' order: the endpoint, then the subject's name.
		ASSERT_EQ(TextBoxes.size(), 2u);
		TextBox = TextBoxes[0];
		SubjectBox = TextBoxes[1];
		// The note is the text under the name's row.
		const auto AfterSubject = std::find(Widgets.begin(), Widgets.end(), SubjectBox.ToSharedRef());
		const auto NoteWidget =
		    std::find_if(AfterSubject, Widgets.end(), [](const TSharedRef<SWidget>& Each) { return Each->GetTypeAsString() == TEXT("STextBlock"); });
		ASSERT_NE(NoteWidget, Widgets.end());
		Note = StaticCastSharedRef<STextBlock>(*NoteWidget);
		ASSERT_TRUE(Button.IsValid() && Box.IsValid());
		ASSERT_EQ(CheckBoxes.size(), 3u);
	}

	const ULiveLinkSourceFactory* Factory() const { return FactoryObject.Get(); }
	std::string PanelText() const { return ToUtf8(TextBox->GetText()); }
	std::string SubjectText() const { return ToUtf8(SubjectBox->GetText()); }
	std::string NoteText() const { return ToUtf8(Note->GetText()); }
	std::vector<bool> Ticks() const { return {CheckBoxes[0]->IsChecked(), CheckBoxes[1]->IsChecked(), CheckBoxes[2]->IsChecked()}; }

	TWeakObjectPtr<ULiveLinkSourceFactory> FactoryObject;
	UOrvidaLiveLinkRuntimeSettings* Settings = nullptr;
	struct
	{
		FString Address;
		int32 Port;
		bool bLens, bTake, bRecord;
		FString SubjectName;
	} Saved;
	TSharedPtr<SWidget> Panel;
	TSharedPtr<SEditableTextBox> TextBox;
	TSharedPtr<SEditableTextBox> SubjectBox;
	TSharedPtr<STextBlock> Note;
	std::vector<TSharedPtr<SCheckBox>> CheckBoxes;
	TSharedPtr<SButton> Button;
	TSharedPtr<SBox> Box;
	std::vector<TSharedPtr<ILiveLinkSource>> Created;
	std::vector<std::string> ConnectionStrings;
	// Sources for 10.0.0.5 cannot bind here; their builder's error lines are expected.
	FLogCapture QuietBuilder;
};
} // namespace

TEST_F(OrvidaLiveLinkSourceFactoryTest, NamesTheSourceKindAndOpensAPanel)
{
	ASSERT_NE(Factory(), nullptr);
	EXPECT_EQ(ToUtf8(Factory()->GetSourceDisplayName()), "Orvida LiveLink");
	EXPECT_EQ(FTextInspector::GetNamespace(Factory()->GetSourceDisplayName()).GetValue(), FString(TEXT("OrvidaLiveLinkSourceFactory")));
	EXPECT_EQ(ToUtf8(Factory()->GetSourceTooltip()), "Creates a connection to Vellacor Orvida");
	EXPECT_EQ(Factory()->GetMenuType(), ULiveLinkSourceFactory::EMenuType::SubPanel);
}

TEST_F(OrvidaLiveLinkSourceFactoryTest, PanelStartsFromTheSettings)
{
	OpenPanel();
	EXPECT_EQ(PanelText(), "0.0.0.0:9001");
	EXPECT_EQ(SubjectText(), "Orvida - Camera");
	EXPECT_EQ(Ticks(), (std::vector<bool>{true, true, false}));
	EXPECT_EQ(Box->GetWidthOverride().Get(), 300.0f);

	SetSettings(TEXT("10.0.0.x"), 70000, false, false, true);
	Settings->SubjectNameByDefault = TEXT("Stage Cam");
	CheckBoxes.clear();
	OpenPanel();
	EXPECT_EQ(PanelText(), "0.0.0.0:4464");
	EXPECT_EQ(SubjectText(), "Stage Cam");
	EXPECT_EQ(Ticks(), (std::vector<bool>{false, false, true}));
}

// Every way a text reaches the plug-in reads it alike: a commit in the panel, Ok, and a stored connection string.
// The engine's own parse accepts every refused text here, so what refuses each is the plug-in's check.
TEST_F(OrvidaLiveLinkSourceFactoryTest, EveryWayInReadsAnEndpointTextAlike)
{
	const struct
	{
		const TCHAR* Text;
		bool bAccepted;
		FIPv4Endpoint Expected;
		// A group's rows name loopback, so that no test joins a group on the machine's real interfaces.
		FIPv4Address Interface = FIPv4Address::Any;
		const TCHAR* ConnectionString = nullptr;
	} Rows[] = {
	    {TEXT("10.0.0.5:7000"), true, FIPv4Endpoint(FIPv4Address(10, 0, 0, 5), 7000)},
	    {TEXT("255.0.10.200:65535"), true, FIPv4Endpoint(FIPv4Address(255, 0, 10, 200), 65535)},
	    {TEXT("010.000.0.5:00080"), true, FIPv4Endpoint(FIPv4Address(10, 0, 0, 5), 80)},
	    {TEXT("10.9.0.5:0"), true, FIPv4Endpoint(FIPv4Address(10, 9, 0, 5), 0)},
	    {TEXT("1.2.3.4:"), false, {}},
	    {TEXT("...:9001"), false, {}},
	    {TEXT("a.b.c.d:9001"), false, {}},
	    {TEXT("256.1.1.1:9001"), false, {}},
	    {TEXT("1.2.3.300:9001"), false, {}},
	    {TEXT("1.2.3.4:65536"), false, {}},
	    {TEXT("-1.2.3.4:9001"), false, {}},
	    {TEXT("+1.2.3.4:9001"), false, {}},
	    {TEXT("1.2.3.4:+9001"), false, {}},
	    {TEXT(" 1.2.3.4:9001"), false, {}},
	    {TEXT("1.2.3.4 :9001"), false, {}},
	    {TEXT("1.2.3.4:9001 "), false, {}},
	    {TEXT("1..2.3:9001"), false, {}},
	    {TEXT("1.2.3.:9001"), false, {}},
	    {TEXT("1.2.3.4:9001.5"), false, {}},
	    {TEXT("0001.2.3.4:9001"), false, {}},
	    {TEXT("1.2.3.4:000009001"), false, {}},
	    // A multicast group with the interface that joins it, kept in the connection string so that the source
	    // comes back on the same interface.
	    {TEXT("239.1.2.3:9001@127.0.0.1"), true, FIPv4Endpoint(FIPv4Address(239, 1, 2, 3), 9001), FIPv4Address::InternalLoopback},
	    {TEXT("224.0.0.251:9001@127.000.0.1"), true, FIPv4Endpoint(FIPv4Address(224, 0, 0, 251), 9001), FIPv4Address::InternalLoopback,
	     TEXT("224.0.0.251:9001@127.0.0.1")},
	    {TEXT("10.0.0.5:7000@127.0.0.1"), false, {}},
	    {TEXT("240.0.0.1:9001@127.0.0.1"), false, {}},
	    {TEXT("239.1.2.3:9001@"), false, {}},
	    {TEXT("239.1.2.3:9001@127.0.0"), false, {}},
	    {TEXT("239.1.2.3:9001@127.0.0.1 "), false, {}},
	    // A digit of another script, which Atoi reads as nothing.
	    {TEXT("1.2.3.\u0664:9001"), false, {}},
	};
	// Settings unlike the repair, so that a repair to the settings would show.
	SetSettings(TEXT("10.0.0.6"), 7100, false, false, false);
	OpenPanel();
	for (const auto& Row : Rows)
	{
		const std::string Text = TCHAR_TO_UTF8(Row.Text);
		const size_t CreatedBefore = Created.size();

		// As typed for a group joined on a named interface, the endpoint as the engine writes it otherwise.
		const std::string ConnectionString = Row.ConnectionString != nullptr      ? std::string(TCHAR_TO_UTF8(Row.ConnectionString))
		                                     : Row.Interface == FIPv4Address::Any ? std::string(TCHAR_TO_UTF8(*Row.Expected.ToString()))
		                                                                          : Text;
		FSlateUserInput::CommitText(*TextBox, FText::FromString(Row.Text), ETextCommit::OnEnter);
		EXPECT_EQ(PanelText(), Row.bAccepted ? Text : std::string("0.0.0.0:9001")) << Text;
		// A text set without a commit is never repaired, so Ok is what meets it.
		TextBox->SetText(FText::FromString(Row.Text));
		FSlateUserInput::Click(*Button);
		const TSharedPtr<ILiveLinkSource> FromString = Factory()->CreateSource(Row.Text);

		if (Row.bAccepted)
		{
			ASSERT_EQ(Created.size(), CreatedBefore + 1) << Text;
			const FOrvidaLiveLinkConnectionSettings FromPanel = static_cast<FOrvidaLiveLinkSource&>(*Created.back()).GetConnectionSettings();
			EXPECT_EQ(FromPanel.Endpoint, Row.Expected) << Text;
			EXPECT_EQ(FromPanel.MulticastInterface, Row.Interface) << Text;
			EXPECT_EQ(ConnectionStrings.back(), ConnectionString) << Text;
			ASSERT_TRUE(FromString.IsValid()) << Text;
			EXPECT_EQ(static_cast<FOrvidaLiveLinkSource&>(*FromString).GetConnectionSettings().Endpoint, Row.Expected) << Text;
			EXPECT_EQ(static_cast<FOrvidaLiveLinkSource&>(*FromString).GetConnectionSettings().MulticastInterface, Row.Interface) << Text;
		}
		else
		{
			EXPECT_EQ(Created.size(), CreatedBefore) << Text;
			EXPECT_EQ(PanelText(), Text) << "Ok leaves a refused text as it stands";
			EXPECT_FALSE(FromString.IsValid()) << Text;
			FIPv4Endpoint Lenient;
			EXPECT_TRUE(FIPv4Endpoint::Parse(Row.Text, Lenient)) << Text << ": the engine refuses it too, so the row shows nothing of the plug-in";
		}
	}
}

// Faults caught besides the options': the typed name not reaching the source, or reaching the connection string.
TEST_F(OrvidaLiveLinkSourceFactoryTest, OkHandsTheEngineASourceWithTheTickedOptionsAndName)
{
	SetSettings(TEXT("0.0.0.0"), 9001, false, false, false);
	OpenPanel();
	FSlateUserInput::CommitText(*TextBox, FText::FromString(TEXT("10.0.0.5:7000")), ETextCommit::OnEnter);
	FSlateUserInput::CommitText(*SubjectBox, FText::FromString(TEXT("B Cam")), ETextCommit::OnEnter);
	// One option on at a time: a swap of any two options on the way to the source changes the result.
	const std::vector<bool> OptionSets[] = {{true, false, false}, {false, true, false}, {false, false, true}};
	for (const std::vector<bool>& Options : OptionSets)
	{
		for (size_t Index = 0; Index < CheckBoxes.size(); ++Index)
		{
			if (CheckBoxes[Index]->IsChecked() != Options[Index])
			{
				CheckBoxes[Index]->ToggleCheckedState();
			}
		}
		const size_t CreatedBefore = Created.size();
		EXPECT_TRUE(FSlateUserInput::Click(*Button).IsEventHandled());
		ASSERT_EQ(Created.size(), CreatedBefore + 1);
		EXPECT_EQ(ConnectionStrings.back(), "10.0.0.5:7000");
		const FOrvidaLiveLinkConnectionSettings Made = static_cast<FOrvidaLiveLinkSource&>(*Created.back()).GetConnectionSettings();
		EXPECT_EQ(Made.Endpoint, FIPv4Endpoint(FIPv4Address(10, 0, 0, 5), 7000));
		EXPECT_EQ((std::vector<bool>{Made.bAutoLens, Made.bAutoSceneTakeUpdate, Made.bAutoRecord}), Options);
		EXPECT_EQ(static_cast<FOrvidaLiveLinkSource&>(*Created.back()).GetSubjectName(), FName(TEXT("B Cam")));
	}

	FSlateUserInput::Click(*Button);
	ASSERT_EQ(Created.size(), 4u);
	EXPECT_NE(Created[2].Get(), Created[3].Get()) << "every Ok makes a source of its own";

	// A blank box: the project's default as it is at "Ok", not an empty name nor the one the panel opened with.
	Settings->SubjectNameByDefault = TEXT("Stage Cam");
	FSlateUserInput::CommitText(*SubjectBox, FText::FromString(TEXT("  ")), ETextCommit::OnEnter);
	FSlateUserInput::Click(*Button);
	ASSERT_EQ(Created.size(), 5u);
	EXPECT_EQ(static_cast<FOrvidaLiveLinkSource&>(*Created.back()).GetSubjectName(), FName(TEXT("Stage Cam")));
	EXPECT_EQ(ConnectionStrings.back(), "10.0.0.5:7000");
}

// Faults caught: no note while the client holds a subject of the name typed, or of the default that a blank box
// stands for; a note for another name; a panel that asserts, or notes anything, when the editor has no client.
TEST_F(OrvidaLiveLinkSourceFactoryTest, ANoteSaysWhenTheClientHoldsASubjectOfTheName)
{
	OpenPanel();
	EXPECT_EQ(NoteText(), "");
	FLiveLinkClient Client;
	FString ConnectionString;
	Client.AddSource(OrvidaLiveLinkSourceCreation::CreateSource(
	    FOrvidaLiveLinkConnectionSettings{FIPv4Endpoint(FIPv4Address::InternalLoopback, 0), false, true, false, FIPv4Address::Any, TEXT("B Cam")},
	    ConnectionString));
	// The first tick has the source push its subject, the second takes it in.
	Client.Tick();
	Client.Tick();
	IModularFeatures::Get().RegisterModularFeature(ILiveLinkClient::ModularFeatureName, &Client);
	const struct
	{
		const TCHAR* Typed;
		const TCHAR* ProjectDefault;
		const char* Expected;
	} Rows[] = {
	    {TEXT("B Cam"), TEXT("Orvida - Camera"), "A subject named 'B Cam' exists: the engine enables only one subject of a name."},
	    {TEXT("C Cam"), TEXT("Orvida - Camera"), ""},
	    {TEXT(" "), TEXT("B Cam"), "A subject named 'B Cam' exists: the engine enables only one subject of a name."},
	    {TEXT(" "), TEXT("Orvida - Camera"), ""},
	};
	for (const auto& Row : Rows)
	{
		Settings->SubjectNameByDefault = Row.ProjectDefault;
		FSlateUserInput::ChangeText(*SubjectBox, FText::FromString(Row.Typed));
		EXPECT_EQ(NoteText(), Row.Expected) << ToUtf8(FText::FromString(Row.Typed)) << "|" << ToUtf8(FText::FromString(Row.ProjectDefault));
	}
	IModularFeatures::Get().UnregisterModularFeature(ILiveLinkClient::ModularFeatureName, &Client);
	EXPECT_EQ(NoteText(), "") << "a client no longer registered";
}

TEST_F(OrvidaLiveLinkSourceFactoryTest, AnUnboundCallbackLetsTheNewSourceGoAtOnce)
{
	const uint16 Port = LoopbackUdp::PickFreePort();
	OpenPanel(false);
	FSlateUserInput::CommitText(*TextBox, FText::FromString(FIPv4Endpoint(FIPv4Address::InternalLoopback, Port).ToString()), ETextCommit::OnEnter);
	EXPECT_TRUE(FSlateUserInput::Click(*Button).IsEventHandled());
	// The source bound the port and, destroyed at once, let it go again.
	EXPECT_TRUE(LoopbackUdp::FExclusiveBinding(Port).IsBound());
}

TEST_F(OrvidaLiveLinkSourceFactoryTest, OkAfterTheFactoryIsGoneCreatesNothing)
{
	OpenPanel();
	FSlateUserInput::CommitText(*TextBox, FText::FromString(TEXT("10.0.0.5:7000")), ETextCommit::OnEnter);
	DestroyFactory();
	ASSERT_EQ(Factory(), nullptr);

	FSlateUserInput::Click(*Button);
	EXPECT_TRUE(Created.empty());
}

TEST_F(OrvidaLiveLinkSourceFactoryTest, HandlersDoNothingOnceTheirWidgetsAreGone)
{
	OpenPanel();
	const TSharedPtr<SButton> KeptButton = Button;
	const TSharedPtr<SEditableTextBox> KeptTextBox = TextBox;
	TextBox.Reset();
	Button.Reset();
	CheckBoxes.clear();
	Box.Reset();
	Panel.Reset();
	// With the panel gone its handlers are unbound: the kept widgets neither repair nor create.
	FSlateUserInput::CommitText(*KeptTextBox, FText::FromString(TEXT("bad")), ETextCommit::OnEnter);
	EXPECT_EQ(ToUtf8(KeptTextBox->GetText()), "bad");
	FSlateUserInput::Click(*KeptButton);
	EXPECT_TRUE(Created.empty());
}

TEST_F(OrvidaLiveLinkSourceFactoryTest, AConnectionStringMakesASourceWithTheFixedOptions)
{
	SetSettings(TEXT("0.0.0.0"), 9001, true, false, true);
	const TSharedPtr<ILiveLinkSource> Source = Factory()->CreateSource(TEXT("10.0.0.5:7000"));
	ASSERT_TRUE(Source.IsValid());
	const FOrvidaLiveLinkConnectionSettings Made = static_cast<FOrvidaLiveLinkSource&>(*Source).GetConnectionSettings();
	EXPECT_FALSE(Made.bAutoLens);
	EXPECT_TRUE(Made.bAutoSceneTakeUpdate);
	EXPECT_FALSE(Made.bAutoRecord);
}
