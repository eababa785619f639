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
	SLATE_BEGIN_ARGS(SEditableTextBox) : _IsReadOnly(false) {}
		SLATE_ATTRIBUTE(FText, Text)
		/** Shown greyed while the text is empty. */
		SLATE_ATTRIBUTE(FText, HintText)
		SLATE_ATTRIBUTE(bool, IsReadOnly)
		SLATE_EVENT(FOnTextChanged, OnTextChanged)
		SLATE_EVENT(FOnTextCommitted, OnTextCommitted)
	SLATE_END_ARGS()

	SEditableTextBox();
	~SEditableTextBox() override;
	void Construct(const FArguments& InArgs);

	/** The text now (read through the getter when bound); empty when none was given. */
	FText GetText() const { return BoundText.Get(FText::GetEmpty()); }
	/** Replaces the text or its binding; fires no event, as a program's change is not the user's. */
	void SetText(const TAttribute<FText>& InNewText) { BoundText = InNewText; }
	FText GetHintText() const { return HintText.Get(FText::GetEmpty()); }
	bool IsReadOnly() const { return bIsReadOnly.Get(false); }

	/**
	 * The user edited the text to NewText: keeps it (unless the text is bound to a getter, whose owner is told
	 * through the event instead) and fires OnTextChanged. Ignored while read-only.
	 */
	void ChangeText(const FText& NewText);
	/**
	 * The user committed NewText: keeps it as ChangeText does, then fires OnTextCommitted, whose handler may
	 * replace the text again. Ignored while read-only.
	 */
	void CommitText(const FText& NewText, ETextCommit::Type CommitType);

private:
	TAttribute<FText> BoundText;
	TAttribute<FText> HintText;
	TAttribute<bool> bIsReadOnly;
	FOnTextChanged OnTextChanged;
	FOnTextCommitted OnTextCommitted;
};
