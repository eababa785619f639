// The widget tree as the host walks it to show a panel in the browser and to find the widget an event is for.
// The engine's widgets have their own children interface and no ids; the stand-in's tree is walked here.
//
// Threads: the game thread, like every widget.
#pragma once

#include "Containers/Array.h"
#include "CoreTypes.h"
#include "Templates/SharedPointer.h"

class FSlotBase;
class SWidget;

struct SLATECORE_API FSlateWidgetTree
{
	/** A number unique among the widgets of this process, in order of creation, never 0. */
	static uint64 GetId(const SWidget& Widget);
	/** How many slots the widget has, empty ones included. */
	static int32 GetNumSlots(const SWidget& Widget);
	/** The slot at Index, or null when Index is out of range. */
	static const FSlotBase* GetSlot(const SWidget& Widget, int32 Index);
	/** The widgets in the slots, in slot order, skipping empty slots. */
	static TArray<TSharedRef<SWidget>> GetChildren(const SWidget& Widget);
	/** The widget in the tree under Root (Root included) whose id is InId, or null when there is none. */
	static TSharedPtr<SWidget> FindWidgetById(const TSharedRef<SWidget>& Root, uint64 InId);
};
