#include "Widgets/SWidget.h"

#include "Widgets/SCompoundWidget.h"

namespace
{
/** Widgets are made on the game thread only, so a plain counter is enough. */
uint64 GLastWidgetId = 0;
} // namespace

FSlotBase::~FSlotBase() = default;
FSimpleSlot::~FSimpleSlot() = default;

SWidget::SWidget() : Id(++GLastWidgetId) {}

SWidget::~SWidget() = default;

TArray<TSharedRef<SWidget>> SWidget::GetChildren() const
{
	TArray<TSharedRef<SWidget>> Children;
	const int32 NumSlots = GetNumSlots();
	for (int32 Index = 0; Index < NumSlots; ++Index)
	{
		const FSlotBase* Slot = GetSlot(Index);
		if (Slot != nullptr && Slot->GetWidget().IsValid())
		{
			Children.Add(Slot->GetWidget().ToSharedRef());
		}
	}
	return Children;
}

TSharedPtr<SWidget> SWidget::FindWidgetById(const TSharedRef<SWidget>& Root, uint64 InId)
{
	// An explicit stack, so that a deep tree cannot exhaust the call stack.
	TArray<TSharedRef<SWidget>> Pending;
	Pending.Add(Root);
	while (!Pending.IsEmpty())
	{
		const TSharedRef<SWidget> Widget = Pending.Pop();
		if (Widget->GetId() == InId)
		{
			return TSharedPtr<SWidget>(Widget);
		}
		Pending.Append(Widget->GetChildren());
	}
	return nullptr;
}

SCompoundWidget::SCompoundWidget() = default;
SCompoundWidget::~SCompoundWidget() = default;
