#include "CoreMinimal.h"
#include "StandIn/SlateUserInput.h"
#include "StandIn/SlateWidgetTree.h"
#include "Widgets/DeclarativeSyntaxSupport.h"
#include "Widgets/Input/SButton.h"
#include "Widgets/Input/SCheckBox.h"
#include "Widgets/Input/SEditableTextBox.h"
#include "Widgets/Layout/SBox.h"
#include "Widgets/SBoxPanel.h"
#include "Widgets/SCompoundWidget.h"
#include "Widgets/Text/STextBlock.h"

#include <gtest/gtest.h>

namespace
{
/** Records what Construct saw, to check argument defaults, required arguments and SAssignNew's timing. */
class SProbeWidget : public SCompoundWidget
{
public:
	// clang-format off
	SLATE_BEGIN_ARGS(SProbeWidget) : _Count(7), _Label(FText::FromString(TEXT("default"))) {}
		SLATE_ARGUMENT(int32, Count)
		SLATE_ATTRIBUTE(FText, Label)
		SLATE_DEFAULT_SLOT(FArguments, Content)
	SLATE_END_ARGS()
	// clang-format on

	void Construct(const FArguments& InArgs, int32 InRequired = -1)
	{
		Count = InArgs._Count;
		Label = InArgs._Label;
		Required = InRequired;
		ChildSlot[SAssignNew(Caption, STextBlock).Text(this, &SProbeWidget::GetCaption)];
	}

	FText GetCaption() const { return FText::FromString(FString::Printf(TEXT("count %d"), Count)); }

	int32 Count = 0;
	int32 Required = 0;
	TAttribute<FText> Label;
	TSharedPtr<STextBlock> Caption;
};

/** Holds a weak reference to a child it creates; used to check that SAssignNew stores before Construct runs. */
class SExposeProbe : public SCompoundWidget
{
public:
	// clang-format off
	SLATE_BEGIN_ARGS(SExposeProbe) {}
	SLATE_END_ARGS()
	// clang-format on

	void Construct(const FArguments& InArgs) { ChildSlot[SAssignNew(Child, SCheckBox).IsChecked(ECheckBoxState::Undetermined)]; }

	TWeakPtr<SCheckBox> Child;
};
} // namespace

TEST(SlateDeclarative, ArgumentsKeepDefaultsAndTakeChainedValues)
{
	TSharedRef<SProbeWidget> Defaulted = SNew(SProbeWidget);
	EXPECT_EQ(Defaulted->Count, 7);
	EXPECT_EQ(Defaulted->Label.Get().ToString(), FString(TEXT("default")));
	EXPECT_EQ(Defaulted->Required, -1);

	TSharedRef<SProbeWidget> Given = SNew(SProbeWidget, 42).Count(3).Label(FText::FromString(TEXT("given")));
	EXPECT_EQ(Given->Count, 3);
	EXPECT_EQ(Given->Label.Get().ToString(), FString(TEXT("given")));
	EXPECT_EQ(Given->Required, 42);
}

TEST(SlateDeclarative, AttributeBoundToThisReadsTheGetterEachTime)
{
	TSharedRef<SProbeWidget> Probe = SNew(SProbeWidget).Count(1);
	TSharedPtr<STextBlock> Caption = Probe->Caption;
	EXPECT_EQ(Caption->GetText().ToString(), FString(TEXT("count 1")));
	Probe->Count = 5;
	EXPECT_EQ(Caption->GetText().ToString(), FString(TEXT("count 5")));

	// Once the owner is gone the getter must not run; the last value it gave stays.
	TSharedPtr<SProbeWidget> Holder = Probe;
	Probe = SNew(SProbeWidget);
	Holder.Reset();
	EXPECT_EQ(Caption->GetText().ToString(), FString(TEXT("count 5")));
}

TEST(SlateDeclarative, AssignNewFillsSharedWeakAndReferenceVariables)
{
	TSharedPtr<STextBlock> Shared;
	TWeakPtr<STextBlock> Weak;
	TSharedRef<SWidget> Returned = SAssignNew(Shared, STextBlock).Text(FText::FromString(TEXT("a")));
	TSharedRef<SWidget> ReturnedToWeak = SAssignNew(Weak, STextBlock).Text(FText::FromString(TEXT("b")));

	ASSERT_TRUE(Shared.IsValid());
	EXPECT_EQ(Shared.Get(), &Returned.Get());
	EXPECT_EQ(Shared->GetText().ToString(), FString(TEXT("a")));
	ASSERT_TRUE(Weak.IsValid());
	EXPECT_EQ(Weak.Pin().Get(), &ReturnedToWeak.Get());
	EXPECT_EQ(Weak.Pin()->GetText().ToString(), FString(TEXT("b")));

	// The weak variable must not keep the widget alive.
	ReturnedToWeak = Returned;
	EXPECT_FALSE(Weak.IsValid());
}

TEST(SlateDeclarative, AssignNewInsideConstructReachesTheMemberOfTheOwner)
{
	TSharedRef<SExposeProbe> Probe = SNew(SExposeProbe);
	TSharedPtr<SCheckBox> Child = Probe->Child.Pin();
	ASSERT_TRUE(Child.IsValid());
	EXPECT_EQ(FSlateWidgetTree::GetChildren(*Probe)[0].operator->(), Child.Get());
	EXPECT_EQ(Child->GetCheckedState(), ECheckBoxState::Undetermined);
	EXPECT_FALSE(Child->IsChecked());
}

TEST(SlateBoxPanel, SlotsDefaultToFillOneAndKeepTheirOrder)
{
	TSharedRef<SHorizontalBox> Row =
	    SNew(SHorizontalBox) + SHorizontalBox::Slot()[SNew(STextBlock).Text(FText::FromString(TEXT("first")))] +
	    SHorizontalBox::Slot().AutoWidth().VAlign(VAlign_Center).Padding(FMargin(1.0f, 2.0f))[SNew(STextBlock).Text(FText::FromString(TEXT("second")))] +
	    SHorizontalBox::Slot().FillWidth(TAttribute<float>::CreateLambda([] { return 2.5f; }));

	ASSERT_EQ(FSlateWidgetTree::GetNumSlots(*Row), 3);
	EXPECT_EQ(Row->GetOrientation(), Orient_Horizontal);
	EXPECT_EQ(FSlateWidgetTree::GetSlot(*Row, 0)->GetSizeRule(), ESizeRule::Fill);
	EXPECT_FLOAT_EQ(FSlateWidgetTree::GetSlot(*Row, 0)->GetSizeValue(), 1.0f);
	EXPECT_EQ(FSlateWidgetTree::GetSlot(*Row, 0)->GetHAlign(), HAlign_Fill);
	EXPECT_EQ(FSlateWidgetTree::GetSlot(*Row, 1)->GetSizeRule(), ESizeRule::Auto);
	EXPECT_EQ(FSlateWidgetTree::GetSlot(*Row, 1)->GetVAlign(), VAlign_Center);
	EXPECT_EQ(FSlateWidgetTree::GetSlot(*Row, 1)->GetPadding(), FMargin(1.0f, 2.0f, 1.0f, 2.0f));
	EXPECT_FLOAT_EQ(FSlateWidgetTree::GetSlot(*Row, 2)->GetSizeValue(), 2.5f);
	EXPECT_EQ(FSlateWidgetTree::GetSlot(*Row, 3), nullptr);
	EXPECT_EQ(FSlateWidgetTree::GetSlot(*Row, -1), nullptr);

	// The empty third slot is not a child.
	const TArray<TSharedRef<SWidget>> Children = FSlateWidgetTree::GetChildren(*Row);
	ASSERT_EQ(Children.Num(), 2);
	EXPECT_EQ(StaticCastSharedRef<STextBlock>(Children[1])->GetText().ToString(), FString(TEXT("second")));

	EXPECT_EQ(Row->RemoveSlot(Children[0]), 0);
	EXPECT_EQ(Row->RemoveSlot(Children[0]), INDEX_NONE);
	ASSERT_EQ(FSlateWidgetTree::GetNumSlots(*Row), 2);
	EXPECT_EQ(FSlateWidgetTree::GetSlot(*Row, 0)->GetSizeRule(), ESizeRule::Auto);
}

TEST(SlateBoxPanel, AddSlotAtRunTimeAppendsToAVerticalBox)
{
	TSharedRef<SVerticalBox> Column = SNew(SVerticalBox) + SVerticalBox::Slot().AutoHeight();
	Column->AddSlot().FillHeight(0.25f).MaxHeight(40.0f)[SNew(SButton)];
	ASSERT_EQ(FSlateWidgetTree::GetNumSlots(*Column), 2);
	EXPECT_EQ(Column->GetOrientation(), Orient_Vertical);
	EXPECT_EQ(Column->GetSlotAt(1).GetSizeRule(), ESizeRule::Fill);
	EXPECT_FLOAT_EQ(Column->GetSlotAt(1).GetSizeValue(), 0.25f);
	EXPECT_FLOAT_EQ(Column->GetSlotAt(1).GetMaxSize(), 40.0f);
	ASSERT_EQ(FSlateWidgetTree::GetChildren(*Column).Num(), 1);
	EXPECT_EQ(FSlateWidgetTree::GetChildren(*Column)[0]->GetTypeAsString(), FString(TEXT("SButton")));
}

TEST(SlateWidgets, CheckBoxToggleFlipsAndReportsButSetDoesNot)
{
	TArray<ECheckBoxState> Reported;
	TSharedRef<SCheckBox> CheckBox = SNew(SCheckBox).OnCheckStateChanged_Lambda([&Reported](ECheckBoxState State) { Reported.Add(State); });

	EXPECT_EQ(CheckBox->GetCheckedState(), ECheckBoxState::Unchecked);
	CheckBox->ToggleCheckedState();
	EXPECT_TRUE(CheckBox->IsChecked());
	CheckBox->ToggleCheckedState();
	EXPECT_FALSE(CheckBox->IsChecked());
	CheckBox->SetIsChecked(ECheckBoxState::Undetermined);
	CheckBox->ToggleCheckedState();
	EXPECT_EQ(CheckBox->GetCheckedState(), ECheckBoxState::Checked);
	const TArray<ECheckBoxState> Expected = {ECheckBoxState::Checked, ECheckBoxState::Unchecked, ECheckBoxState::Checked};
	EXPECT_EQ(Reported, Expected);
}

TEST(SlateWidgets, CheckBoxBoundToAGetterIsNotOverwrittenByAToggle)
{
	ECheckBoxState Model = ECheckBoxState::Checked;
	ECheckBoxState Reported = ECheckBoxState::Undetermined;
	TSharedRef<SCheckBox> CheckBox =
	    SNew(SCheckBox).IsChecked_Lambda([&Model] { return Model; }).OnCheckStateChanged_Lambda([&Reported](ECheckBoxState State) { Reported = State; });

	CheckBox->ToggleCheckedState();
	EXPECT_EQ(Reported, ECheckBoxState::Unchecked);
	EXPECT_TRUE(CheckBox->IsChecked());
	Model = ECheckBoxState::Unchecked;
	EXPECT_FALSE(CheckBox->IsChecked());
}

TEST(SlateWidgets, EditableTextBoxEventsAndReadOnly)
{
	FString Changed;
	int32 Commits = 0;
	TSharedRef<SEditableTextBox> TextBox = SNew(SEditableTextBox)
	                                           .OnTextChanged_Lambda([&Changed](const FText& Text) { Changed = Text.ToString(); })
	                                           .OnTextCommitted_Lambda([&Commits](const FText&, ETextCommit::Type) { ++Commits; });

	EXPECT_TRUE(TextBox->GetText().IsEmpty());
	FSlateUserInput::ChangeText(*TextBox, FText::FromString(TEXT("typing")));
	EXPECT_EQ(Changed, FString(TEXT("typing")));
	EXPECT_EQ(TextBox->GetText().ToString(), FString(TEXT("typing")));
	EXPECT_EQ(Commits, 0);
	TextBox->SetText(FText::FromString(TEXT("set")));
	EXPECT_EQ(TextBox->GetText().ToString(), FString(TEXT("set")));
	EXPECT_EQ(Commits, 0);

	TSharedRef<SEditableTextBox> ReadOnly = SNew(SEditableTextBox)
	                                            .Text(FText::FromString(TEXT("fixed")))
	                                            .IsReadOnly(true)
	                                            .OnTextCommitted_Lambda([&Commits](const FText&, ETextCommit::Type) { ++Commits; });
	FSlateUserInput::CommitText(*ReadOnly, FText::FromString(TEXT("other")), ETextCommit::OnEnter);
	EXPECT_EQ(ReadOnly->GetText().ToString(), FString(TEXT("fixed")));
	EXPECT_EQ(Commits, 0);
}

TEST(SlateWidgets, ButtonClickGivesTheHandlersReplyOrUnhandled)
{
	int32 Clicks = 0;
	TSharedRef<SButton> Button = SNew(SButton)
	                                 .Text(FText::FromString(TEXT("Go")))
	                                 .OnClicked_Lambda(
	                                     [&Clicks]
	                                     {
		                                     ++Clicks;
		                                     return FReply::Handled();
	                                     });
	EXPECT_TRUE(FSlateUserInput::Click(*Button).IsEventHandled());
	EXPECT_EQ(Clicks, 1);
	// A caption given as Text becomes a text block child.
	ASSERT_EQ(FSlateWidgetTree::GetChildren(*Button).Num(), 1);
	EXPECT_EQ(StaticCastSharedRef<STextBlock>(FSlateWidgetTree::GetChildren(*Button)[0])->GetText().ToString(), FString(TEXT("Go")));

	Button->SetEnabled(false);
	EXPECT_FALSE(FSlateUserInput::Click(*Button).IsEventHandled());
	EXPECT_EQ(Clicks, 1);

	TSharedRef<SButton> Unbound = SNew(SButton);
	EXPECT_FALSE(FSlateUserInput::Click(*Unbound).IsEventHandled());
	EXPECT_EQ(FSlateWidgetTree::GetChildren(*Unbound).Num(), 0);

	TSharedRef<SButton> Declines = SNew(SButton).OnClicked(FOnClicked::CreateLambda([] { return FReply::Unhandled(); }));
	EXPECT_FALSE(FSlateUserInput::Click(*Declines).IsEventHandled());
}

TEST(SlateWidgets, BoxAlignmentAndOverridesReachItsSlot)
{
	float Width = 120.0f;
	TSharedRef<SBox> Box = SNew(SBox)
	                           .HAlign(HAlign_Center)
	                           .VAlign(VAlign_Bottom)
	                           .HeightOverride(TAttribute<FOptionalSize>::CreateLambda([&Width] { return FOptionalSize(Width / 2.0f); }))[SNew(STextBlock)];
	ASSERT_EQ(FSlateWidgetTree::GetNumSlots(*Box), 1);
	EXPECT_EQ(FSlateWidgetTree::GetSlot(*Box, 0)->GetHAlign(), HAlign_Center);
	EXPECT_EQ(FSlateWidgetTree::GetSlot(*Box, 0)->GetVAlign(), VAlign_Bottom);
	EXPECT_FALSE(Box->GetWidthOverride().IsSet());
	EXPECT_FLOAT_EQ(Box->GetHeightOverride().Get(), 60.0f);
	Width = 200.0f;
	EXPECT_FLOAT_EQ(Box->GetHeightOverride().Get(), 100.0f);
	Box->SetContent(nullptr);
	EXPECT_EQ(FSlateWidgetTree::GetChildren(*Box).Num(), 0);
}
