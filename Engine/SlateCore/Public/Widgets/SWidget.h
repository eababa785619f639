// The base of every widget. Widgets are made, changed, walked and sent events on the game thread only; nothing
// in this toolkit takes a lock.
#pragma once

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "SlotBase.h"
#include "Templates/SharedPointer.h"

template <typename WidgetType, typename RequiredArgsType> struct TSlateDecl;

class SLATECORE_API SWidget : public TSharedFromThis<SWidget>
{
public:
	SWidget();
	virtual ~SWidget();
	SWidget(const SWidget&) = delete;
	SWidget& operator=(const SWidget&) = delete;

	/** The class name given to SNew or SAssignNew, such as "SButton"; empty for a widget made another way. */
	const FString& GetTypeAsString() const { return TypeName; }

protected:
	/** How many slots the widget has, empty ones included; the stand-in's form of the engine's children. */
	virtual int32 GetNumSlots() const { return 0; }
	/** The slot at Index, or null when Index is out of range. */
	virtual const FSlotBase* GetSlot(int32 Index) const { return nullptr; }

private:
	template <typename, typename> friend struct TSlateDecl;
	/** The host walks the tree through it (StandIn/SlateWidgetTree.h). */
	friend struct FSlateWidgetTree;

	FString TypeName;
	uint64 Id;
};
