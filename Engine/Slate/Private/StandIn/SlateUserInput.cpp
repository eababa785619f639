#include "StandIn/SlateUserInput.h"

#include "Widgets/Input/SButton.h"
#include "Widgets/Input/SEditableTextBox.h"

FReply FSlateUserInput::Click(SButton& Button)
{
	if (!Button.IsEnabled() || !Button.OnClicked.IsBound())
	{
		return FReply::Unhandled();
	}
	return Button.OnClicked.Execute();
}

void FSlateUserInput::ChangeText(SEditableTextBox& TextBox, const FText& NewText)
{
	if (TextBox.IsReadOnly())
	{
		return;
	}
	if (!TextBox.BoundText.IsBound())
	{
		TextBox.BoundText.Set(NewText);
	}
	TextBox.OnTextChanged.ExecuteIfBound(NewText);
}

void FSlateUserInput::CommitText(SEditableTextBox& TextBox, const FText& NewText, ETextCommit::Type CommitType)
{
	if (TextBox.IsReadOnly())
	{
		return;
	}
	// Kept before the event, so that a handler that repairs the text has the last word.
	if (!TextBox.BoundText.IsBound())
	{
		TextBox.BoundText.Set(NewText);
	}
	TextBox.OnTextCommitted.ExecuteIfBound(NewText, CommitType);
}
