#pragma once

#include "CoreTypes.h"
#include "SlotBase.h"
#include "Widgets/SWidget.h"

/** A widget made of one child tree, which the subclass's Construct puts in ChildSlot. */
class SLATECORE_API SCompoundWidget : public SWidget
{
public:
	~SCompoundWidget() override;

protected:
	SCompoundWidget();

	int32 GetNumSlots() const override { return 1; }
	const FSlotBase* GetSlot(int32 Index) const override { return Index == 0 ? &ChildSlot : nullptr; }

	FSimpleSlot ChildSlot;
};
