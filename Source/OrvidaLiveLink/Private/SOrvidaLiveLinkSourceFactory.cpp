#include "SOrvidaLiveLinkSourceFactory.h"

#include "OrvidaLiveLinkRuntimeSettings.h"
#include "OrvidaLiveLinkSourceCreation.h"
#include "UObject/UObjectGlobals.h"
#include "Widgets/Input/SButton.h"
#include "Widgets/Input/SCheckBox.h"
#include "Widgets/Input/SEditableTextBox.h"
#include "Widgets/Layout/SBox.h"
#include "Widgets/SBoxPanel.h"
#include "Widgets/Text/STextBlock.h"

#define LOCTEXT_NAMESPACE "OrvidaLiveLinkSourceEditor"

namespace OrvidaLiveLinkSourceEditor
{
/** One row of the panel: a label on the left half, the control filling the right half. */
TSharedRef<SWidget> MakeRow(const FText& Label, const TSharedRef<SWidget>& Control)
{
	// clang-format off
	return SNew(SHorizontalBox)
		+ SHorizontalBox::Slot().FillWidth(0.5f).HAlign(HAlign_Left)[SNew(STextBlock).Text(Label)]
		+ SHorizontalBox::Slot().FillWidth(0.5f).HAlign(HAlign_Fill)[Control];
	// clang-format on
}

void SetChecked(const TWeakPtr<SCheckBox>& CheckBox, bool bChecked)
{
	if (const TSharedPtr<SCheckBox> Pinned = CheckBox.Pin())
	{
		Pinned->SetIsChecked(bChecked ? ECheckBoxState::Checked : ECheckBoxState::Unchecked);
	}
}
} // namespace OrvidaLiveLinkSourceEditor

void SOrvidaLiveLinkSourceFactory::Construct(const FArguments& Args)
{
	using namespace OrvidaLiveLinkSourceEditor;

	OnConnectionSettingsAccepted = Args._OnConnectionSettingsAccepted;
	const UOrvidaLiveLinkRuntimeSettings* Settings = GetDefault<UOrvidaLiveLinkRuntimeSettings>();
	const OrvidaLiveLinkSourceCreation::FInitialPanelValues Initial = OrvidaLiveLinkSourceCreation::MakeInitialPanelValues(
	    Settings->NetworkServerAddressByDefault, Settings->NetworkPortIdByDefault, Settings->SubjectNameByDefault, Settings->bAutoLens,
	    Settings->bAutoSceneTakeUpdate, Settings->bAutoRecord);

	// The widget tree's own layout, as the engine's Slate code keeps it.
	// clang-format off
	ChildSlot
	[
		SNew(SBox)
		.WidthOverride(300.0f)
		[
			SNew(SVerticalBox)
			+ SVerticalBox::Slot().AutoHeight()
			[
				MakeRow(LOCTEXT("OrvidaPortNumber", "Network Address:Port"),
					SAssignNew(EndpointTextBox, SEditableTextBox)
					.Text(FText::FromString(Initial.EndpointText))
					.OnTextCommitted(this, &SOrvidaLiveLinkSourceFactory::OnEndpointTextCommitted))
			]
			+ SVerticalBox::Slot().AutoHeight()
			[
				MakeRow(LOCTEXT("SubjectName", "Subject Name"),
					SAssignNew(SubjectNameTextBox, SEditableTextBox)
					.Text(FText::FromString(Initial.SubjectName)))
			]
			+ SVerticalBox::Slot().AutoHeight()[MakeRow(LOCTEXT("AutoLens", "Auto Lens Update"), SAssignNew(AutoLensCheckBox, SCheckBox))]
			+ SVerticalBox::Slot().AutoHeight()[MakeRow(LOCTEXT("AutoSceneTake", "Auto Scene/Take"), SAssignNew(AutoSceneTakeCheckBox, SCheckBox))]
			+ SVerticalBox::Slot().AutoHeight()[MakeRow(LOCTEXT("AutoRecord", "Auto Record"), SAssignNew(AutoRecordCheckBox, SCheckBox))]
			+ SVerticalBox::Slot().AutoHeight().HAlign(HAlign_Right)
			[
				SNew(SButton)
				.OnClicked(this, &SOrvidaLiveLinkSourceFactory::OnOkClicked)
				[
					SNew(STextBlock).Text(LOCTEXT("Ok", "Ok"))
				]
			]
		]
	];
	// clang-format on

	// Set once, as fixed values: nothing ticked here is written back to the settings.
	SetChecked(AutoLensCheckBox, Initial.bAutoLens);
	SetChecked(AutoSceneTakeCheckBox, Initial.bAutoSceneTakeUpdate);
	SetChecked(AutoRecordCheckBox, Initial.bAutoRecord);
}

void SOrvidaLiveLinkSourceFactory::OnEndpointTextCommitted(const FText& InText, ETextCommit::Type InCommitType)
{
	const TSharedPtr<SEditableTextBox> TextBox = EndpointTextBox.Pin();
	if (!TextBox.IsValid())
	{
		return;
	}
	const TOptional<FString> Repaired = OrvidaLiveLinkSourceCreation::RepairEndpointText(InText.ToString());
	if (Repaired.IsSet())
	{
		TextBox->SetText(FText::FromString(Repaired.GetValue()));
	}
}

FReply SOrvidaLiveLinkSourceFactory::OnOkClicked()
{
	const TSharedPtr<SEditableTextBox> TextBox = EndpointTextBox.Pin();
	const TSharedPtr<SEditableTextBox> SubjectName = SubjectNameTextBox.Pin();
	const TSharedPtr<SCheckBox> AutoLens = AutoLensCheckBox.Pin();
	const TSharedPtr<SCheckBox> AutoSceneTake = AutoSceneTakeCheckBox.Pin();
	const TSharedPtr<SCheckBox> AutoRecord = AutoRecordCheckBox.Pin();
	if (TextBox.IsValid() && SubjectName.IsValid() && AutoLens.IsValid() && AutoSceneTake.IsValid() && AutoRecord.IsValid())
	{
		// The default as it is now: the settings may have changed since the panel opened.
		const TOptional<FOrvidaLiveLinkConnectionSettings> Accepted = OrvidaLiveLinkSourceCreation::ConfirmConnectionSettings(
		    TextBox->GetText().ToString(), SubjectName->GetText().ToString(), GetDefault<UOrvidaLiveLinkRuntimeSettings>()->SubjectNameByDefault,
		    AutoLens->IsChecked(), AutoSceneTake->IsChecked(), AutoRecord->IsChecked());
		if (Accepted.IsSet())
		{
			OnConnectionSettingsAccepted.ExecuteIfBound(Accepted.GetValue());
		}
	}
	return FReply::Handled();
}

#undef LOCTEXT_NAMESPACE
