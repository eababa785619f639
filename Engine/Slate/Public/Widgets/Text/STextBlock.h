#pragma once

#include "CoreTypes.h"
#include "Internationalization/Text.h"
#include "Misc/Attribute.h"
#include "Widgets/DeclarativeSyntaxSupport.h"
#include "Widgets/SWidget.h"

/** Static text. */
class SLATE_API STextBlock : public SWidget
{
public:
	// clang-format off
	SLATE_BEGIN_ARGS(STextBlock) {}
		SLATE_ATTRIBUTE(FText, Text)
	SLATE_END_ARGS()
	// clang-format on

	STextBlock();
	~STextBlock() override;
	void Construct(const FArguments& InArgs);

	/** The text now (read through the getter when bound); empty when none was given. */
	FText GetText() const { return BoundText.Get(FText::GetEmpty()); }
	void SetText(const TAttribute<FText>& InText) { BoundText = InText; }

private:
	TAttribute<FText> BoundText;
};
