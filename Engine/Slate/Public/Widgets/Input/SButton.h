#pragma once

#include "CoreTypes.h"
#include "Framework/SlateDelegates.h"
#include "Input/Reply.h"
#include "Internationalization/Text.h"
#include "Layout/Margin.h"
#include "Misc/Attribute.h"
#include "Types/SlateEnums.h"
#include "Widgets/DeclarativeSyntaxSupport.h"
#include "Widgets/SCompoundWidget.h"

/** A clickable button around its content. The host reports the user's clicks with Click. */
class SLATE_API SButton : public SCompoundWidget
{
public:
	// clang-format off
	SLATE_BEGIN_ARGS(SButton) : _HAlign(HAlign_Fill), _VAlign(VAlign_Fill), _IsEnabled(true) {}
		/** A caption, used only when no content is given: it becomes an STextBlock child. */
		SLATE_ATTRIBUTE(FText, Text)
		SLATE_ARGUMENT(EHorizontalAlignment, HAlign)
		SLATE_ARGUMENT(EVerticalAlignment, VAlign)
		SLATE_ATTRIBUTE(FMargin, ContentPadding)
		SLATE_ATTRIBUTE(bool, IsEnabled)
		SLATE_EVENT(FOnClicked, OnClicked)
		SLATE_DEFAULT_SLOT(FArguments, Content)
	SLATE_END_ARGS()
	// clang-format on

	SButton();
	~SButton() override;
	void Construct(const FArguments& InArgs);

	bool IsEnabled() const { return bIsEnabled.Get(true); }
	void SetEnabled(const TAttribute<bool>& InIsEnabled) { bIsEnabled = InIsEnabled; }
	void SetOnClicked(const FOnClicked& InOnClicked) { OnClicked = InOnClicked; }

private:
	/** The stand-in's user input reaches OnClicked (StandIn/SlateUserInput.h). */
	friend struct FSlateUserInput;

	TAttribute<bool> bIsEnabled;
	FOnClicked OnClicked;
};
