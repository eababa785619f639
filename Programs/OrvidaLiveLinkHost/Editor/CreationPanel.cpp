#include "Editor/CreationPanel.h"

#include "StandIn/SlateUserInput.h"
#include "StandIn/SlateWidgetTree.h"
#include "Widgets/Input/SButton.h"
#include "Widgets/Input/SCheckBox.h"
#include "Widgets/Input/SEditableTextBox.h"
#include "Widgets/Text/STextBlock.h"

namespace
{
const TCHAR* const EndpointLabel = TEXT("Network Address:Port");
const TCHAR* const SubjectNameLabel = TEXT("Subject Name");
} // namespace

bool FHostCreationPanel::Find(const TSharedRef<SWidget>& Root)
{
	OkButton.Reset();
	TextBoxesByLabel.Empty();
	CheckBoxesByLabel.Empty();
	Collect(Root);
	return TextBoxesByLabel.Contains(EndpointLabel) && OkButton.IsValid() && !CheckBoxesByLabel.IsEmpty();
}

void FHostCreationPanel::Collect(const TSharedRef<SWidget>& Widget)
{
	if (Widget->GetTypeAsString() == TEXT("SButton"))
	{
		OkButton = StaticCastSharedRef<SButton>(Widget);
	}
	// A row holds a label and the box it names.
	const TArray<TSharedRef<SWidget>> Children = FSlateWidgetTree::GetChildren(*Widget);
	FString Label;
	TSharedPtr<SWidget> Control;
	for (const TSharedRef<SWidget>& Child : Children)
	{
		const FString& Type = Child->GetTypeAsString();
		if (Type == TEXT("STextBlock"))
		{
			Label = StaticCastSharedRef<STextBlock>(Child)->GetText().ToString();
		}
		else if (Type == TEXT("SCheckBox") || Type == TEXT("SEditableTextBox"))
		{
			Control = Child;
		}
		Collect(Child);
	}
	if (!Control.IsValid() || Label.IsEmpty())
	{
		return;
	}
	if (Control->GetTypeAsString() == TEXT("SCheckBox"))
	{
		CheckBoxesByLabel.Add(Label, StaticCastSharedPtr<SCheckBox>(Control));
	}
	else
	{
		TextBoxesByLabel.Add(Label, StaticCastSharedPtr<SEditableTextBox>(Control));
	}
}

bool FHostCreationPanel::Confirm(const FHostPanelChoices& Choices)
{
	const std::pair<const TCHAR*, std::optional<bool>> Options[] = {
	    {TEXT("Auto Lens Update"), Choices.bAutoLens},
	    {TEXT("Auto Scene/Take"), Choices.bAutoSceneTakeUpdate},
	    {TEXT("Auto Record"), Choices.bAutoRecord},
	};
	// Checked before anything is typed or ticked, so that a refused choice leaves the panel as it was.
	bool bHasWidgets = OkButton.IsValid() && (!Choices.EndpointText || TextBoxesByLabel.Contains(EndpointLabel)) &&
	                   (!Choices.SubjectName || TextBoxesByLabel.Contains(SubjectNameLabel));
	for (const auto& [Label, bWanted] : Options)
	{
		bHasWidgets = bHasWidgets && (!bWanted || CheckBoxesByLabel.Contains(Label));
	}
	if (!bHasWidgets)
	{
		return false;
	}
	if (Choices.EndpointText)
	{
		CommitText(EndpointLabel, *Choices.EndpointText);
	}
	if (Choices.SubjectName)
	{
		CommitText(SubjectNameLabel, *Choices.SubjectName);
	}
	for (const auto& [Label, bWanted] : Options)
	{
		if (bWanted)
		{
			SetOption(Label, *bWanted);
		}
	}
	FSlateUserInput::Click(*OkButton);
	return true;
}

void FHostCreationPanel::SetOption(const TCHAR* Label, bool bWanted)
{
	const TSharedPtr<SCheckBox>& CheckBox = CheckBoxesByLabel.FindChecked(Label);
	if (CheckBox->IsChecked() != bWanted)
	{
		CheckBox->ToggleCheckedState();
	}
}

void FHostCreationPanel::CommitText(const TCHAR* Label, const FString& Text)
{
	FSlateUserInput::CommitText(*TextBoxesByLabel.FindChecked(Label), FText::FromString(Text), ETextCommit::OnEnter);
}
