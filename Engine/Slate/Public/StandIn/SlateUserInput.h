// What a user does to the widgets, which the host reports for the person at the browser and tests do in a
// person's place. The engine's widgets get clicks and keystrokes from the platform through their input
// handlers, which the stand-in's widgets do not have.
//
// Threads: the game thread, like every widget.
#pragma once

#include "CoreTypes.h"
#include "Input/Reply.h"
#include "Internationalization/Text.h"
#include "Types/SlateEnums.h"

class SButton;
class SEditableTextBox;

struct SLATE_API FSlateUserInput
{
	/** The user clicked: runs OnClicked and gives back its reply. Unhandled when the button is disabled or nothing (living) is bound. */
	static FReply Click(SButton& Button);
	/**
	 * The user edited the text to NewText: keeps it (unless the text is bound to a getter, whose owner is told
	 * through the event instead) and fires OnTextChanged. Ignored while read-only.
	 */
	static void ChangeText(SEditableTextBox& TextBox, const FText& NewText);
	/**
	 * The user committed NewText: keeps it as ChangeText does, then fires OnTextCommitted, whose handler may
	 * replace the text again. Ignored while read-only.
	 */
	static void CommitText(SEditableTextBox& TextBox, const FText& NewText, ETextCommit::Type CommitType);
};
