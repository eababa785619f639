#pragma once

#include "CoreTypes.h"
#include "Framework/SlateDelegates.h"
#include "Internationalization/Text.h"
#include "Misc/Attribute.h"
#include "Types/SlateEnums.h"
#include "Widgets/DeclarativeSyntaxSupport.h"
#include "Widgets/SWidget.h"

/** A one-line text field. The host reports the user's typing through ChangeText and commits through CommitText. */
class SLATE_API SEditableTextBox : public SWidget
{
public:
	// clang-format off
	SLATE_BEGIN_ARGS(SEditableTextBox) : _IsReadOnly(false) {}
		SLATE_ATTRIBUTE(FText, Text)
		/** Shown greyed while the text is empty. */
		SLATE_ATTRIBUTE(FText, HintText)
		SLATE_ATTRIBUTE(bool, IsReadOnly)
		SLATE_EVENT(FOnTextChanged, OnTextChanged)
		SLATE_EVENT(FOnTextCommitted, OnTextCommitted)
	SLATE_END_ARGS()
	// clang-format on

	SEditableTextBox();
	~SEditableTextBox() override;
	void Construct(const FArguments& InArgs);

	/** The text now (read through the getter when bound); empty when none was given. */
	FText GetText() const { return BoundText.Get(FText::GetEmpty()); }
	/** Replaces the text or its binding; fires no event, as a program's change is not the user's. */
	void SetText(const TAttribute<FText>& InNewText) { BoundText = InNewText; }
	FText GetHintText() const { return HintText.Get(FText::GetEmpty()); }
	bool IsReadOnly() const { return bIsReadOnly.Get(false); }

private:
	/** The stand-in's user input reaches the text and its events (StandIn/SlateUserInput.h). */
	friend struct FSlateUserInput;

	TAttribute<FText> BoundText;
	TAttribute<FText> HintText;
	TAttribute<bool> bIsReadOnly;
	FOnTextChanged OnTextChanged;
	FOnTextCommitted OnTextCommitted;
};
