#pragma once

#include "CoreTypes.h"
#include "Layout/Margin.h"
#include "Templates/SharedPointer.h"
#include "Types/SlateEnums.h"

class SWidget;

/** How a box slot takes its share of the box's length. */
enum class ESizeRule : uint8
{
	/** The content's desired size. */
	Auto,
	/** A share of the leftover space, by the slot's fill coefficient. */
	Fill
};

/** One place for a child widget, with how the child sits in it. Slots may be empty. */
class SLATECORE_API FSlotBase
{
public:
	FSlotBase() = default;
	virtual ~FSlotBase();

	/** The child, or null when the slot is empty. */
	const TSharedPtr<SWidget>& GetWidget() const { return Widget; }
	/** Puts InWidget in the slot, replacing any child; null empties it. */
	void AttachWidget(const TSharedPtr<SWidget>& InWidget) { Widget = InWidget; }

	EHorizontalAlignment GetHAlign() const { return HAlignment; }
	EVerticalAlignment GetVAlign() const { return VAlignment; }
	const FMargin& GetPadding() const { return SlotPadding; }
	/** Auto for slots that are not in a box panel. */
	virtual ESizeRule GetSizeRule() const { return ESizeRule::Auto; }
	/** The fill coefficient; 0 for slots that are not in a box panel. */
	virtual float GetSizeValue() const { return 0.0f; }

protected:
	TSharedPtr<SWidget> Widget;
	EHorizontalAlignment HAlignment = HAlign_Fill;
	EVerticalAlignment VAlignment = VAlign_Fill;
	FMargin SlotPadding;
};

/** A slot chained in the engine's style: Slot.HAlign(...).Padding(...)[ Child ]. */
template <typename SlotType, typename BaseType = FSlotBase> class TSlotBase : public BaseType
{
public:
	SlotType& HAlign(EHorizontalAlignment InAlignment)
	{
		this->HAlignment = InAlignment;
		return Me();
	}
	SlotType& VAlign(EVerticalAlignment InAlignment)
	{
		this->VAlignment = InAlignment;
		return Me();
	}
	SlotType& Padding(const FMargin& InPadding)
	{
		this->SlotPadding = InPadding;
		return Me();
	}
	SlotType& operator[](const TSharedRef<SWidget>& InChild)
	{
		this->AttachWidget(TSharedPtr<SWidget>(InChild));
		return Me();
	}

protected:
	SlotType& Me() { return static_cast<SlotType&>(*this); }
};

/** A slot that holds the single child of a compound widget or box. */
class SLATECORE_API FSimpleSlot : public TSlotBase<FSimpleSlot>
{
public:
	FSimpleSlot() = default;
	~FSimpleSlot() override;
};
