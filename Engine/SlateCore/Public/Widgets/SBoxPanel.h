// SVerticalBox and SHorizontalBox: children in a column or a row, each in a slot that is either sized to its
// content (Auto) or given a share of the leftover length (Fill).
#pragma once

#include "CoreTypes.h"
#include "Misc/Attribute.h"
#include "SlotBase.h"
#include "Widgets/DeclarativeSyntaxSupport.h"
#include "Widgets/SWidget.h"

#include <memory>

enum EOrientation : uint8
{
	Orient_Horizontal,
	Orient_Vertical
};

/** A box panel's slot; by default it fills with coefficient 1, as the engine's does. */
class SLATECORE_API FBoxSlot : public FSlotBase
{
public:
	FBoxSlot();
	~FBoxSlot() override;

	ESizeRule GetSizeRule() const override { return SizeRule; }
	/** The fill coefficient read now (it may be bound to a getter); meaningful for Fill slots. */
	float GetSizeValue() const override { return SizeValue.Get(1.0f); }
	/** The largest length the slot may take; 0 means no limit. */
	float GetMaxSize() const { return MaxSize.Get(0.0f); }

protected:
	ESizeRule SizeRule = ESizeRule::Fill;
	TAttribute<float> SizeValue;
	TAttribute<float> MaxSize;
};

class SLATECORE_API SBoxPanel : public SWidget
{
public:
	~SBoxPanel() override;

	EOrientation GetOrientation() const { return Orientation; }

	/** Removes the first slot holding SlotWidget; returns its index, or INDEX_NONE when no slot holds it. */
	int32 RemoveSlot(const TSharedRef<SWidget>& SlotWidget);
	void ClearChildren() { Children.Empty(); }

protected:
	explicit SBoxPanel(EOrientation InOrientation)
	    : Orientation(InOrientation)
	{
	}

	int32 GetNumSlots() const override { return Children.Num(); }
	const FSlotBase* GetSlot(int32 Index) const override { return Children.IsValidIndex(Index) ? Children[Index].get() : nullptr; }

	TArray<std::shared_ptr<FBoxSlot>> Children;

private:
	EOrientation Orientation;
};

class SLATECORE_API SVerticalBox : public SBoxPanel
{
public:
	class FSlot : public TSlotBase<FSlot, FBoxSlot>
	{
	public:
		/** As tall as the content wants. */
		FSlot& AutoHeight()
		{
			SizeRule = ESizeRule::Auto;
			return *this;
		}
		/** A share of the leftover height; coefficients of 0 or less take no share. */
		FSlot& FillHeight(const TAttribute<float>& StretchCoefficient)
		{
			SizeRule = ESizeRule::Fill;
			SizeValue = StretchCoefficient;
			return *this;
		}
		/** 0 means no limit. */
		FSlot& MaxHeight(const TAttribute<float>& InMaxHeight)
		{
			MaxSize = InMaxHeight;
			return *this;
		}
	};

	// clang-format off
	SLATE_BEGIN_ARGS(SVerticalBox) {}
		SLATE_SUPPORTS_SLOT(SVerticalBox::FSlot)
	SLATE_END_ARGS()
	// clang-format on

	/** A new slot for `+ SVerticalBox::Slot()...`; it belongs to the arguments it is added to (add it once). */
	static FSlot& Slot() { return *(new FSlot()); }

	SVerticalBox()
	    : SBoxPanel(Orient_Vertical)
	{
	}
	~SVerticalBox() override;
	void Construct(const FArguments& InArgs);

	/** Appends an empty slot and gives it back for chaining. */
	FSlot& AddSlot();
	/** The slot at Index; Index must be valid. */
	FSlot& GetSlotAt(int32 Index) { return static_cast<FSlot&>(*Children[Index]); }
};

class SLATECORE_API SHorizontalBox : public SBoxPanel
{
public:
	class FSlot : public TSlotBase<FSlot, FBoxSlot>
	{
	public:
		/** As wide as the content wants. */
		FSlot& AutoWidth()
		{
			SizeRule = ESizeRule::Auto;
			return *this;
		}
		/** A share of the leftover width; coefficients of 0 or less take no share. */
		FSlot& FillWidth(const TAttribute<float>& StretchCoefficient)
		{
			SizeRule = ESizeRule::Fill;
			SizeValue = StretchCoefficient;
			return *this;
		}
		/** 0 means no limit. */
		FSlot& MaxWidth(const TAttribute<float>& InMaxWidth)
		{
			MaxSize = InMaxWidth;
			return *this;
		}
	};

	// clang-format off
	SLATE_BEGIN_ARGS(SHorizontalBox) {}
		SLATE_SUPPORTS_SLOT(SHorizontalBox::FSlot)
	SLATE_END_ARGS()
	// clang-format on

	/** A new slot for `+ SHorizontalBox::Slot()...`; it belongs to the arguments it is added to (add it once). */
	static FSlot& Slot() { return *(new FSlot()); }

	SHorizontalBox()
	    : SBoxPanel(Orient_Horizontal)
	{
	}
	~SHorizontalBox() override;
	void Construct(const FArguments& InArgs);

	/** Appends an empty slot and gives it back for chaining. */
	FSlot& AddSlot();
	/** The slot at Index; Index must be valid. */
	FSlot& GetSlotAt(int32 Index) { return static_cast<FSlot&>(*Children[Index]); }
};
