#include "StandIn/SlateWidgetTree.h"

#include "Widgets/SWidget.h"

uint64 FSlateWidgetTree::GetId(const SWidget& Widget) { return Widget.Id; }

int32 FSlateWidgetTree::GetNumSlots(const SWidget& Widget) { return Widget.GetNumSlots(); }

const FSlotBase* FSlateWidgetTree::GetSlot(const SWidget& Widget, int32 Index) { return Widget.GetSlot(Index); }

TArray<TSharedRef<SWidget>> FSlateWidgetTree::GetChildren(const SWidget& Widget)
{
	TArray<TSharedRef<SWidget>> Children;
	const int32 NumSlots = Widget.GetNumSlots();
	for (int32 Index = 0; Index < NumSlots; ++Index)
	{
		const FSlotBase* Slot = Widget.GetSlot(Index);
		if (Slot != nullptr && Slot->GetWidget().IsValid())
		{
			Children.Add(Slot->GetWidget().ToSharedRef());
		}
	}
	return Children;
}

TSharedPtr<SWidget> FSlateWidgetTree::FindWidgetById(const TSharedRef<SWidget>& Root, uint64 InId)
{
	// An explicit stack, so that a deep tree cannot exhaust the call stack.
	TArray<TSharedRef<SWidget>> Pending;
	Pending.Add(Root);
	while (!Pending.IsEmpty())
	{
		const TSharedRef<SWidget> Candidate = Pending.Pop();
		if (Candidate->Id == InId)
		{
			return TSharedPtr<SWidget>(Candidate);
		}
		Pending.Append(GetChildren(*Candidate));
	}
	return nullptr;
}
