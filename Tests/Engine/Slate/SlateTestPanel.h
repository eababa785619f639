// A widget laid out as the source creation panel is, so that the tests exercise the toolkit the way the plug-in does.
#pragma once

#include "CoreMinimal.h"
#include "Widgets/DeclarativeSyntaxSupport.h"
#include "Widgets/Input/SButton.h"
#include "Widgets/Input/SCheckBox.h"
#include "Widgets/Input/SEditableTextBox.h"
#include "Widgets/Layout/SBox.h"
#include "Widgets/SBoxPanel.h"
#include "Widgets/SCompoundWidget.h"
#include "Widgets/Text/STextBlock.h"

/** What the tests observe; kept outside the panel so that it outlives it. */
struct FTestPanelLog
{
	int32 CommitCount = 0;
	ETextCommit::Type LastCommitType = ETextCommit::Default;
	int32 ClickCount = 0;
	int32 AcceptedCount = 0;
	FString AcceptedText;
	bool bAcceptedLens = false;
	bool bAcceptedSceneTake = false;
	bool bAcceptedRecord = false;
};

// The engine's macros and widget tree keep their own layout, as in the engine's Slate code.
// clang-format off
DECLARE_DELEGATE_OneParam(FOnTestPanelAccepted, const FString&)

class STestCreationPanel : public SCompoundWidget
{
public:
	SLATE_BEGIN_ARGS(STestCreationPanel) : _Log(nullptr), _InitialText(FText::FromString(TEXT("0.0.0.0:9001"))) {}
		SLATE_ARGUMENT(FTestPanelLog*, Log)
		SLATE_ARGUMENT(FText, InitialText)
		SLATE_EVENT(FOnTestPanelAccepted, OnAccepted)
	SLATE_END_ARGS()
	// clang-format on

	void Construct(const FArguments& InArgs)
	{
		Log = InArgs._Log;
		OnAccepted = InArgs._OnAccepted;
		// clang-format off
		ChildSlot
		[
			SNew(SBox)
			.WidthOverride(300.0f)
			[
				SNew(SVerticalBox)
				+ SVerticalBox::Slot()
				.AutoHeight()
				[
					SNew(SHorizontalBox)
					+ SHorizontalBox::Slot().FillWidth(0.5f).HAlign(HAlign_Left)
					[
						SNew(STextBlock).Text(FText::FromString(TEXT("Network Address:Port")))
					]
					+ SHorizontalBox::Slot().FillWidth(0.5f).HAlign(HAlign_Fill)
					[
						SAssignNew(EndpointTextBox, SEditableTextBox)
						.Text(InArgs._InitialText)
						.OnTextCommitted(this, &STestCreationPanel::OnEndpointTextCommitted)
					]
				]
				+ SVerticalBox::Slot().AutoHeight()[MakeOptionRow(TEXT("Auto Lens Update"), AutoLensCheckBox)]
				+ SVerticalBox::Slot().AutoHeight()[MakeOptionRow(TEXT("Auto Scene/Take"), AutoSceneTakeCheckBox)]
				+ SVerticalBox::Slot().AutoHeight()[MakeOptionRow(TEXT("Auto Record"), AutoRecordCheckBox)]
				+ SVerticalBox::Slot()
				.AutoHeight()
				.HAlign(HAlign_Right)
				[
					SNew(SButton)
					.OnClicked(this, &STestCreationPanel::OnOkClicked)
					[
						SNew(STextBlock).Text(FText::FromString(TEXT("Ok")))
					]
				]
			]
		];
		// clang-format on
		// Set after the tree exists, through the weak references, as the panel does with its settings.
		if (TSharedPtr<SCheckBox> CheckBox = AutoLensCheckBox.Pin())
		{
			CheckBox->SetIsChecked(ECheckBoxState::Checked);
		}
		if (TSharedPtr<SCheckBox> CheckBox = AutoSceneTakeCheckBox.Pin())
		{
			CheckBox->SetIsChecked(ECheckBoxState::Checked);
		}
	}

	void OnEndpointTextCommitted(const FText& InText, ETextCommit::Type CommitType)
	{
		if (Log != nullptr)
		{
			++Log->CommitCount;
			Log->LastCommitType = CommitType;
		}
		TSharedPtr<SEditableTextBox> TextBox = EndpointTextBox.Pin();
		if (TextBox && InText.ToString().Find(TEXT(":")) == INDEX_NONE)
		{
			TextBox->SetText(FText::FromString(TEXT("0.0.0.0:9001")));
		}
	}

	FReply OnOkClicked()
	{
		if (Log != nullptr)
		{
			++Log->ClickCount;
		}
		TSharedPtr<SEditableTextBox> TextBox = EndpointTextBox.Pin();
		TSharedPtr<SCheckBox> Lens = AutoLensCheckBox.Pin();
		TSharedPtr<SCheckBox> SceneTake = AutoSceneTakeCheckBox.Pin();
		TSharedPtr<SCheckBox> Record = AutoRecordCheckBox.Pin();
		if (TextBox && Lens && SceneTake && Record && Log != nullptr)
		{
			++Log->AcceptedCount;
			Log->AcceptedText = TextBox->GetText().ToString();
			Log->bAcceptedLens = Lens->IsChecked();
			Log->bAcceptedSceneTake = SceneTake->IsChecked();
			Log->bAcceptedRecord = Record->IsChecked();
			OnAccepted.ExecuteIfBound(Log->AcceptedText);
		}
		return FReply::Handled();
	}

	TWeakPtr<SCheckBox> AutoLensCheckBox;
	TWeakPtr<SCheckBox> AutoSceneTakeCheckBox;
	TWeakPtr<SCheckBox> AutoRecordCheckBox;
	TWeakPtr<SEditableTextBox> EndpointTextBox;

private:
	static TSharedRef<SWidget> MakeOptionRow(const TCHAR* Label, TWeakPtr<SCheckBox>& OutCheckBox)
	{
		return SNew(SHorizontalBox) + SHorizontalBox::Slot().FillWidth(0.5f).HAlign(HAlign_Left)[SNew(STextBlock).Text(FText::FromString(Label))] +
		       SHorizontalBox::Slot().FillWidth(0.5f).HAlign(HAlign_Fill)[SAssignNew(OutCheckBox, SCheckBox)];
	}

	FTestPanelLog* Log = nullptr;
	FOnTestPanelAccepted OnAccepted;
};
