#include "SlateTestPanel.h"
#include "StandIn/SlateUserInput.h"
#include "StandIn/SlateWidgetTree.h"

#include <gtest/gtest.h>

namespace
{
FString TextOf(const TSharedRef<SWidget>& Widget) { return static_cast<STextBlock&>(Widget.Get()).GetText().ToString(); }

/** The panel's vertical box, found by walking down from the panel. */
TSharedRef<SVerticalBox> FindVerticalBox(const TSharedRef<STestCreationPanel>& Panel)
{
	const TArray<TSharedRef<SWidget>> PanelChildren = FSlateWidgetTree::GetChildren(*Panel);
	EXPECT_EQ(PanelChildren.Num(), 1);
	const TArray<TSharedRef<SWidget>> BoxChildren = FSlateWidgetTree::GetChildren(*PanelChildren[0]);
	EXPECT_EQ(BoxChildren.Num(), 1);
	return StaticCastSharedRef<SVerticalBox>(BoxChildren[0]);
}
} // namespace

TEST(SlatePanel, TreeHasTheCreationPanelShapeAndAttributes)
{
	FTestPanelLog Log;
	TSharedRef<STestCreationPanel> Panel = SNew(STestCreationPanel).Log(&Log);

	EXPECT_EQ(Panel->GetTypeAsString(), FString(TEXT("STestCreationPanel")));
	const TSharedRef<SWidget> Box = FSlateWidgetTree::GetChildren(*Panel)[0];
	ASSERT_EQ(Box->GetTypeAsString(), FString(TEXT("SBox")));
	const FOptionalSize Width = static_cast<SBox&>(Box.Get()).GetWidthOverride();
	EXPECT_TRUE(Width.IsSet());
	EXPECT_FLOAT_EQ(Width.Get(), 300.0f);
	EXPECT_FALSE(static_cast<SBox&>(Box.Get()).GetHeightOverride().IsSet());

	const TSharedRef<SVerticalBox> Column = FindVerticalBox(Panel);
	ASSERT_EQ(Column->GetTypeAsString(), FString(TEXT("SVerticalBox")));
	ASSERT_EQ(FSlateWidgetTree::GetNumSlots(*Column), 5);
	const char* const Labels[] = {"Network Address:Port", "Auto Lens Update", "Auto Scene/Take", "Auto Record"};
	const char* const Controls[] = {"SEditableTextBox", "SCheckBox", "SCheckBox", "SCheckBox"};
	for (int32 Row = 0; Row < 5; ++Row)
	{
		const FSlotBase* RowSlot = FSlateWidgetTree::GetSlot(*Column, Row);
		ASSERT_NE(RowSlot, nullptr);
		EXPECT_EQ(RowSlot->GetSizeRule(), ESizeRule::Auto) << "row " << Row;
		EXPECT_EQ(RowSlot->GetHAlign(), Row == 4 ? HAlign_Right : HAlign_Fill) << "row " << Row;
		if (Row == 4)
		{
			continue;
		}
		const TSharedRef<SWidget> RowWidget = RowSlot->GetWidget().ToSharedRef();
		ASSERT_EQ(RowWidget->GetTypeAsString(), FString(TEXT("SHorizontalBox")));
		ASSERT_EQ(FSlateWidgetTree::GetNumSlots(*RowWidget), 2);
		for (int32 Column2 = 0; Column2 < 2; ++Column2)
		{
			EXPECT_EQ(FSlateWidgetTree::GetSlot(*RowWidget, Column2)->GetSizeRule(), ESizeRule::Fill);
			EXPECT_FLOAT_EQ(FSlateWidgetTree::GetSlot(*RowWidget, Column2)->GetSizeValue(), 0.5f);
		}
		EXPECT_EQ(FSlateWidgetTree::GetSlot(*RowWidget, 0)->GetHAlign(), HAlign_Left);
		EXPECT_EQ(FSlateWidgetTree::GetSlot(*RowWidget, 1)->GetHAlign(), HAlign_Fill);
		const TArray<TSharedRef<SWidget>> Cells = FSlateWidgetTree::GetChildren(*RowWidget);
		ASSERT_EQ(Cells.Num(), 2);
		EXPECT_EQ(Cells[0]->GetTypeAsString(), FString(TEXT("STextBlock")));
		EXPECT_EQ(TextOf(Cells[0]), FString(Labels[Row]));
		EXPECT_EQ(Cells[1]->GetTypeAsString(), FString(Controls[Row]));
	}

	const TSharedRef<SWidget> Button = FSlateWidgetTree::GetSlot(*Column, 4)->GetWidget().ToSharedRef();
	ASSERT_EQ(Button->GetTypeAsString(), FString(TEXT("SButton")));
	const TArray<TSharedRef<SWidget>> Caption = FSlateWidgetTree::GetChildren(*Button);
	ASSERT_EQ(Caption.Num(), 1);
	EXPECT_EQ(Caption[0]->GetTypeAsString(), FString(TEXT("STextBlock")));
	EXPECT_EQ(TextOf(Caption[0]), FString(TEXT("Ok")));
}

TEST(SlatePanel, WeakMembersPointIntoTheTreeWithTheirStates)
{
	TSharedRef<STestCreationPanel> Panel = SNew(STestCreationPanel);
	const TSharedRef<SVerticalBox> Column = FindVerticalBox(Panel);

	// The weak members must be the very widgets in the tree, not copies.
	EXPECT_EQ(Panel->EndpointTextBox.Pin().Get(), FSlateWidgetTree::GetChildren(*Column->GetSlotAt(0).GetWidget())[1].operator->());
	EXPECT_EQ(Panel->AutoRecordCheckBox.Pin().Get(), FSlateWidgetTree::GetChildren(*Column->GetSlotAt(3).GetWidget())[1].operator->());
	EXPECT_EQ(Panel->EndpointTextBox.Pin()->GetText().ToString(), FString(TEXT("0.0.0.0:9001")));
	EXPECT_TRUE(Panel->AutoLensCheckBox.Pin()->IsChecked());
	EXPECT_EQ(Panel->AutoSceneTakeCheckBox.Pin()->GetCheckedState(), ECheckBoxState::Checked);
	EXPECT_FALSE(Panel->AutoRecordCheckBox.Pin()->IsChecked());
	EXPECT_EQ(Panel->AutoRecordCheckBox.Pin()->GetCheckedState(), ECheckBoxState::Unchecked);
	// A check box given no content has no child for a host to draw.
	EXPECT_EQ(FSlateWidgetTree::GetChildren(*Panel->AutoRecordCheckBox.Pin()).Num(), 0);
}

TEST(SlatePanel, TextCommitRunsTheMemberHandlerWhichHasTheLastWord)
{
	FTestPanelLog Log;
	TSharedRef<STestCreationPanel> Panel = SNew(STestCreationPanel).Log(&Log);
	TSharedPtr<SEditableTextBox> TextBox = Panel->EndpointTextBox.Pin();

	FSlateUserInput::CommitText(*TextBox, FText::FromString(TEXT("10.0.0.5:7000")), ETextCommit::OnEnter);
	EXPECT_EQ(Log.CommitCount, 1);
	EXPECT_EQ(Log.LastCommitType, ETextCommit::OnEnter);
	EXPECT_EQ(TextBox->GetText().ToString(), FString(TEXT("10.0.0.5:7000")));

	FSlateUserInput::CommitText(*TextBox, FText::FromString(TEXT("garbage")), ETextCommit::OnUserMovedFocus);
	EXPECT_EQ(Log.CommitCount, 2);
	EXPECT_EQ(Log.LastCommitType, ETextCommit::OnUserMovedFocus);
	EXPECT_EQ(TextBox->GetText().ToString(), FString(TEXT("0.0.0.0:9001")));
}

TEST(SlatePanel, ToggleAndClickReachTheHandlersThroughTheTree)
{
	FTestPanelLog Log;
	FString Forwarded;
	TSharedRef<STestCreationPanel> Panel = SNew(STestCreationPanel).Log(&Log).OnAccepted_Lambda([&Forwarded](const FString& Text) { Forwarded = Text; });

	Panel->AutoLensCheckBox.Pin()->ToggleCheckedState();
	Panel->AutoRecordCheckBox.Pin()->ToggleCheckedState();

	const TSharedRef<SWidget> Button = FindVerticalBox(Panel)->GetSlotAt(4).GetWidget().ToSharedRef();
	// Routed by id from the root, as a host does for "clicked widget N".
	TSharedPtr<SWidget> Found = FSlateWidgetTree::FindWidgetById(Panel, FSlateWidgetTree::GetId(*Button));
	ASSERT_TRUE(Found.IsValid());
	ASSERT_EQ(Found->GetTypeAsString(), FString(TEXT("SButton")));
	const FReply Reply = FSlateUserInput::Click(*StaticCastSharedPtr<SButton>(Found));

	EXPECT_TRUE(Reply.IsEventHandled());
	EXPECT_EQ(Log.ClickCount, 1);
	EXPECT_EQ(Log.AcceptedCount, 1);
	EXPECT_EQ(Log.AcceptedText, FString(TEXT("0.0.0.0:9001")));
	EXPECT_FALSE(Log.bAcceptedLens);
	EXPECT_TRUE(Log.bAcceptedSceneTake);
	EXPECT_TRUE(Log.bAcceptedRecord);
	EXPECT_EQ(Forwarded, FString(TEXT("0.0.0.0:9001")));
}

TEST(SlatePanel, FindWidgetByIdCoversEveryWidgetAndOnlyThose)
{
	TSharedRef<STestCreationPanel> Panel = SNew(STestCreationPanel);
	TSharedRef<STestCreationPanel> Other = SNew(STestCreationPanel);

	// Walk the whole tree; every widget must be found by its own id, and ids must not repeat.
	TArray<TSharedRef<SWidget>> Pending;
	Pending.Add(Panel);
	TArray<uint64> Seen;
	while (!Pending.IsEmpty())
	{
		const TSharedRef<SWidget> Widget = Pending.Pop();
		EXPECT_FALSE(Seen.Contains(FSlateWidgetTree::GetId(*Widget)));
		Seen.Add(FSlateWidgetTree::GetId(*Widget));
		EXPECT_EQ(FSlateWidgetTree::FindWidgetById(Panel, FSlateWidgetTree::GetId(*Widget)).Get(), &Widget.Get());
		Pending.Append(FSlateWidgetTree::GetChildren(*Widget));
	}
	// Panel, box, column, four rows of two, the button and its caption.
	EXPECT_EQ(Seen.Num(), 1 + 1 + 1 + 4 * 3 + 2);
	EXPECT_GT(FSlateWidgetTree::GetId(*Other), FSlateWidgetTree::GetId(*Panel));
	EXPECT_FALSE(FSlateWidgetTree::FindWidgetById(Panel, FSlateWidgetTree::GetId(*Other)).IsValid());
	EXPECT_FALSE(FSlateWidgetTree::FindWidgetById(Panel, 0).IsValid());
}

TEST(SlatePanel, DestroyedPanelReleasesItsChildrenAndItsBindingsStopRunning)
{
	FTestPanelLog Log;
	TSharedPtr<STestCreationPanel> Panel = SNew(STestCreationPanel).Log(&Log);
	TWeakPtr<SCheckBox> LensCheckBox = Panel->AutoLensCheckBox;
	TWeakPtr<STestCreationPanel> WeakPanel = Panel;
	// Kept alive past the panel, with its handlers still pointing at it.
	TSharedPtr<SButton> Button = StaticCastSharedRef<SButton>(FindVerticalBox(Panel.ToSharedRef())->GetSlotAt(4).GetWidget().ToSharedRef()).ToSharedPtr();
	TSharedPtr<SEditableTextBox> TextBox = Panel->EndpointTextBox.Pin();
	const FOnClicked StoredDelegate = FOnClicked::CreateSP(Panel.ToSharedRef(), &STestCreationPanel::OnOkClicked);
	ASSERT_TRUE(LensCheckBox.IsValid());

	Panel.Reset();

	EXPECT_FALSE(WeakPanel.IsValid());
	EXPECT_FALSE(LensCheckBox.IsValid());
	EXPECT_FALSE(StoredDelegate.IsBound());
	EXPECT_FALSE(FSlateUserInput::Click(*Button).IsEventHandled());
	FSlateUserInput::CommitText(*TextBox, FText::FromString(TEXT("garbage")), ETextCommit::OnEnter);
	EXPECT_EQ(Log.ClickCount, 0);
	EXPECT_EQ(Log.CommitCount, 0);
	// No handler ran, so nothing repaired the text.
	EXPECT_EQ(TextBox->GetText().ToString(), FString(TEXT("garbage")));
}
