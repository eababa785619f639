#include "SOrvidaLiveLinkSourceFactory.h"

#include "Features/IModularFeatures.h"
#include "ILiveLinkClient.h"
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

/** The editor's Live Link client, which its Live Link module registers at start-up; null without it. */
ILiveLinkClient* FindLiveLinkClient()
{
	IModularFeatures& Features = IModularFeatures::Get();
	return Features.IsModularFeatureAvailable(ILiveLinkClient::ModularFeatureName)
	           ? &Features.GetModularFeature<ILiveLinkClient>(ILiveLinkClient::ModularFeatureName)
	           : nullptr;
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
			+ SVerticalBox::Slot().AutoHeight()[SNew(STextBlock).Text(this, &SOrvidaLiveLinkSourceFactory::GetSameNameNote)]
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

FText SOrvidaLiveLinkSourceFactory::GetSameNameNote() const
{
	const TSharedPtr<SEditableTextBox> SubjectName = SubjectNameTextBox.Pin();
	const ILiveLinkClient* Client = OrvidaLiveLinkSourceEditor::FindLiveLinkClient();
	if (!SubjectName.IsValid() || Client == nullptr)
	{
		return FText::GetEmpty();
	}
	// The name "Ok" would give, so that a blank box is checked as the default it stands for.
	const FString Name =
	    OrvidaLiveLinkSourceCreation::ResolveSubjectName(SubjectName->GetText().ToString(), GetDefault<UOrvidaLiveLinkRuntimeSettings>()->SubjectNameByDefault);
	const FName SubjectFName(*Name);
	// Disabled subjects count too: whichever of the name is enabled, the new one would be one more of them.
	for (const FLiveLinkSubjectKey& Key : Client->GetSubjects(true, false))
	{
		if (Key.SubjectName.Name == SubjectFName)
		{
			return FText::Format(LOCTEXT("SameSubjectName", "A subject named '{0}' exists: the engine enables only one subject of a name."),
			                     FText::FromString(Name));
		}
	}
	return FText::GetEmpty();
}

#undef LOCTEXT_NAMESPACE
