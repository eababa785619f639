#include "LiveLinkSourceFactory.h"

#include "LogCapture.h"
#include "LoopbackUdp.h"
#include "OrvidaLiveLinkRuntimeSettings.h"
#include "OrvidaLiveLinkSource.h"
#include "SOrvidaLiveLinkSourceFactory.h"
#include "UObject/UObjectGlobals.h"
#include "UObject/UObjectRegistry.h"
#include "Widgets/Input/SButton.h"
#include "Widgets/Input/SCheckBox.h"
#include "Widgets/Input/SEditableTextBox.h"
#include "Widgets/Layout/SBox.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::string ToUtf8(const FText& Text)
{
	return TCHAR_TO_UTF8(*Text.ToString());
}

void CollectWidgets(const TSharedRef<SWidget>& Widget, std::vector<TSharedRef<SWidget>>& Out)
{
	Out.push_back(Widget);
	for (const TSharedRef<SWidget>& Child : Widget->GetChildren())
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
		Saved = {Settings->NetworkServerAddressByDefault, Settings->NetworkPortIdByDefault, Settings->bAutoLens, Settings->bAutoSceneTakeUpdate, Settings->bAutoRecord};
		SetSettings(TEXT("0.0.0.0"), 9001, true, true, false);
		// As the editor makes it: a transient instance of the registered class, found without the plug-in's headers.
		UClass* Class = FUObjectRegistry::Get().FindClass(TEXT("/Script/OrvidaLiveLink"), TEXT("OrvidaLiveLinkSourceFactory"));
		ASSERT_NE(Class, nullptr);
		FactoryObject = NewObject<ULiveLinkSourceFactory>(nullptr, Class);
	}

	void TearDown() override
	{
		DestroyFactory();
		SetSettings(Saved.Address, Saved.Port, Saved.bLens, Saved.bTake, Saved.bRecord);
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
			Callback = ULiveLinkSourceFactory::FOnLiveLinkSourceCreated::CreateLambda([this](TSharedPtr<ILiveLinkSource> Source, FString ConnectionString) {
				Created.push_back(Source);
				ConnectionStrings.push_back(TCHAR_TO_UTF8(*ConnectionString));
			});
		}
		const TSharedPtr<SWidget> Built = Factory()->BuildCreationPanel(Callback);
		ASSERT_TRUE(Built.IsValid());
		Panel = Built;
		std::vector<TSharedRef<SWidget>> Widgets;
		CollectWidgets(Built.ToSharedRef(), Widgets);
		for (const TSharedRef<SWidget>& Widget : Widgets)
		{
			const FString& Type = Widget->GetTypeAsString();
			if (Type == TEXT("SEditableTextBox"))
			{
				TextBox = StaticCastSharedRef<SEditableTextBox>(Widget);
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
		ASSERT_TRUE(TextBox.IsValid() && Button.IsValid() && Box.IsValid());
		ASSERT_EQ(CheckBoxes.size(), 3u);
	}

	const ULiveLinkSourceFactory* Factory() const { return FactoryObject.Get(); }
	std::string PanelText() const { return ToUtf8(TextBox->GetText()); }
	std::vector<bool> Ticks() const { return {CheckBoxes[0]->IsChecked(), CheckBoxes[1]->IsChecked(), CheckBoxes[2]->IsChecked()}; }

	TWeakObjectPtr<ULiveLinkSourceFactory> FactoryObject;
	UOrvidaLiveLinkRuntimeSettings* Settings = nullptr;
	struct
	{
		FString Address;
		int32 Port;
		bool bLens, bTake, bRecord;
	} Saved;
	TSharedPtr<SWidget> Panel;
	TSharedPtr<SEditableTextBox> TextBox;
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
	EXPECT_EQ(Ticks(), (std::vector<bool>{true, true, false}));
	EXPECT_EQ(Box->GetWidthOverride().Get(), 300.0f);

	SetSettings(TEXT("not an address"), 70000, false, false, true);
	CheckBoxes.clear();
	OpenPanel();
	EXPECT_EQ(PanelText(), "0.0.0.0:4464");
	EXPECT_EQ(Ticks(), (std::vector<bool>{false, false, true}));
}

TEST_F(OrvidaLiveLinkSourceFactoryTest, CommittedTextIsKeptOrRepairedWhateverTheSettingsSay)
{
	SetSettings(TEXT("10.0.0.5"), 7000, true, true, true);
	OpenPanel();
	TextBox->CommitText(FText::FromString(TEXT("10.0.0.6:7100")), ETextCommit::OnEnter);
	EXPECT_EQ(PanelText(), "10.0.0.6:7100");
	for (const TCHAR* Bad : {TEXT(""), TEXT("10.0.0.6"), TEXT("camera")})
	{
		TextBox->CommitText(FText::FromString(Bad), ETextCommit::OnUserMovedFocus);
		EXPECT_EQ(PanelText(), "0.0.0.0:9001") << TCHAR_TO_UTF8(Bad);
	}
}

TEST_F(OrvidaLiveLinkSourceFactoryTest, OkHandsTheEngineASourceWithTheTickedOptions)
{
	SetSettings(TEXT("0.0.0.0"), 9001, false, false, false);
	OpenPanel();
	TextBox->CommitText(FText::FromString(TEXT("10.0.0.5:7000")), ETextCommit::OnEnter);
	for (const TSharedPtr<SCheckBox>& CheckBox : CheckBoxes)
	{
		CheckBox->ToggleCheckedState();
	}
	EXPECT_TRUE(Button->Click().IsEventHandled());
	ASSERT_EQ(Created.size(), 1u);
	EXPECT_EQ(ConnectionStrings[0], "10.0.0.5:7000");
	const FOrvidaLiveLinkConnectionSettings Made = static_cast<FOrvidaLiveLinkSource&>(*Created[0]).GetConnectionSettings();
	EXPECT_EQ(Made.Endpoint, FIPv4Endpoint(FIPv4Address(10, 0, 0, 5), 7000));
	EXPECT_TRUE(Made.bAutoLens && Made.bAutoSceneTakeUpdate && Made.bAutoRecord);

	Button->Click();
	EXPECT_EQ(Created.size(), 2u) << "every Ok makes a source of its own";
	EXPECT_NE(Created[0].Get(), Created[1].Get());
}

TEST_F(OrvidaLiveLinkSourceFactoryTest, OkWithABadTextCreatesNothingAndKeepsTheText)
{
	OpenPanel();
	// A text set without a commit is never repaired, so Ok is what meets it.
	TextBox->SetText(FText::FromString(TEXT("10.0.0.5")));
	EXPECT_TRUE(Button->Click().IsEventHandled());
	EXPECT_TRUE(Created.empty());
	EXPECT_EQ(PanelText(), "10.0.0.5");
}

TEST_F(OrvidaLiveLinkSourceFactoryTest, AnUnboundCallbackLetsTheNewSourceGoAtOnce)
{
	const uint16 Port = LoopbackUdp::PickFreePort();
	OpenPanel(false);
	TextBox->CommitText(FText::FromString(FIPv4Endpoint(FIPv4Address::InternalLoopback, Port).ToString()), ETextCommit::OnEnter);
	EXPECT_TRUE(Button->Click().IsEventHandled());
	// The source bound the port and, destroyed at once, let it go again.
	EXPECT_TRUE(LoopbackUdp::FExclusiveBinding(Port).IsBound());
}

TEST_F(OrvidaLiveLinkSourceFactoryTest, OkAfterTheFactoryIsGoneCreatesNothing)
{
	OpenPanel();
	TextBox->CommitText(FText::FromString(TEXT("10.0.0.5:7000")), ETextCommit::OnEnter);
	DestroyFactory();
	ASSERT_EQ(Factory(), nullptr);

	Button->Click();
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
	KeptTextBox->CommitText(FText::FromString(TEXT("bad")), ETextCommit::OnEnter);
	EXPECT_EQ(ToUtf8(KeptTextBox->GetText()), "bad");
	KeptButton->Click();
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
	EXPECT_FALSE(Factory()->CreateSource(TEXT("")).IsValid());
	EXPECT_FALSE(Factory()->CreateSource(TEXT("10.0.0.5")).IsValid());
}
