#pragma once

#include "CoreTypes.h"
#include "Layout/Margin.h"
#include "Misc/Attribute.h"
#include "Types/SlateEnums.h"
#include "Types/SlateStructs.h"
#include "Widgets/DeclarativeSyntaxSupport.h"
#include "Widgets/SCompoundWidget.h"

/** One child, with an optional fixed width and height that become the box's desired size. */
class SLATE_API SBox : public SCompoundWidget
{
public:
	// clang-format off
	SLATE_BEGIN_ARGS(SBox) : _HAlign(HAlign_Fill), _VAlign(VAlign_Fill) {}
		SLATE_ARGUMENT(EHorizontalAlignment, HAlign)
		SLATE_ARGUMENT(EVerticalAlignment, VAlign)
		SLATE_ATTRIBUTE(FMargin, Padding)
		/** Unset (the default) means the content's own width. */
		SLATE_ATTRIBUTE(FOptionalSize, WidthOverride)
		SLATE_ATTRIBUTE(FOptionalSize, HeightOverride)
		SLATE_DEFAULT_SLOT(FArguments, Content)
	SLATE_END_ARGS()
	// clang-format on

	SBox();
	~SBox() override;
	void Construct(const FArguments& InArgs);

	/** Unset when no width override is given. */
	FOptionalSize GetWidthOverride() const { return WidthOverride.Get(); }
	FOptionalSize GetHeightOverride() const { return HeightOverride.Get(); }
	void SetWidthOverride(const TAttribute<FOptionalSize>& InWidthOverride) { WidthOverride = InWidthOverride; }
	void SetHeightOverride(const TAttribute<FOptionalSize>& InHeightOverride) { HeightOverride = InHeightOverride; }
	/** Replaces the content; null empties the box. */
	void SetContent(const TSharedPtr<SWidget>& InContent) { ChildSlot.AttachWidget(InContent); }

private:
	TAttribute<FOptionalSize> WidthOverride;
	TAttribute<FOptionalSize> HeightOverride;
};
