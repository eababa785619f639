#include "Editor/CreationPanel.h"

#include "StandIn/SlateUserInput.h"
#include "StandIn/SlateWidgetTree.h"
#include "Widgets/Input/SButton.h"
#include "Widgets/Input/SCheckBox.h"
#include "Widgets/Input/SEditableTextBox.h"
#include "Widgets/Text/STextBlock.h"

bool FHostCreationPanel::Find(const TSharedRef<SWidget>& Root)
{
	EndpointBox.Reset();
	OkButton.Reset();
	CheckBoxesByLabel.Empty();
	Collect(Root);
	return EndpointBox.IsValid() && OkButton.IsValid() && !CheckBoxesByLabel.IsEmpty();
}

void FHostCreationPanel::Collect(const TSharedRef<SWidget>& Widget)
{
	const FString& Type = Widget->GetTypeAsString();
	if (Type == TEXT("SEditableTextBox"))
	{
		EndpointBox = StaticCastSharedRef<SEditableTextBox>(Widget);
	}
	else if (Type == TEXT("SButton"))
	{
		OkButton = StaticCastSharedRef<SButton>(Widget);
	}
	// A row holds a label and the box it names.
	const TArray<TSharedRef<SWidget>> Children = FSlateWidgetTree::GetChildren(*Widget);
	FString Label;
	TSharedPtr<SCheckBox> CheckBox;
	for (const TSharedRef<SWidget>& Child : Children)
	{
		if (Child->GetTypeAsString() == TEXT("STextBlock"))
		{
			Label = StaticCastSharedRef<STextBlock>(Child)->GetText().ToString();
		}
		else if (Child->GetTypeAsString() == TEXT("SCheckBox"))
		{
			CheckBox = StaticCastSharedRef<SCheckBox>(Child);
		}
		Collect(Child);
	}
	if (CheckBox.IsValid() && !Label.IsEmpty())
	{
		CheckBoxesByLabel.Add(Label, CheckBox);
	}
}

bool FHostCreationPanel::SetOption(const TCHAR* Label, bool bWanted)
{
	const TSharedPtr<SCheckBox>* CheckBox = CheckBoxesByLabel.Find(Label);
	if (CheckBox == nullptr)
	{
		return false;
	}
	if ((*CheckBox)->IsChecked() != bWanted)
	{
		(*CheckBox)->ToggleCheckedState();
	}
	return true;
}

bool FHostCreationPanel::Confirm(const FHostPanelChoices& Choices)
{
	if (!EndpointBox.IsValid() || !OkButton.IsValid())
	{
		return false;
	}
	if (Choices.EndpointText)
	{
		FSlateUserInput::CommitText(*EndpointBox, FText::FromString(*Choices.EndpointText), ETextCommit::OnEnter);
	}
	const std::pair<const TCHAR*, std::optional<bool>> Options[] = {
	    {TEXT("Auto Lens Update"), Choices.bAutoLens},
	    {TEXT("Auto Scene/Take"), Choices.bAutoSceneTakeUpdate},
	    {TEXT("Auto Record"), Choices.bAutoRecord},
	};
	for (const auto& [Label, bWanted] : Options)
	{
		if (bWanted && !SetOption(Label, *bWanted))
		{
			return false;
		}
	}
	FSlateUserInput::Click(*OkButton);
	return true;
}
