// The base of every widget. Widgets are made, changed, walked and sent events on the game thread only; nothing
// in this toolkit takes a lock.
#pragma once

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "SlotBase.h"
#include "Templates/SharedPointer.h"

template <typename WidgetType, typename RequiredArgsType>
struct TSlateDecl;

class SLATECORE_API SWidget : public TSharedFromThis<SWidget>
{
public:
	SWidget();
	virtual ~SWidget();
	SWidget(const SWidget&) = delete;
	SWidget& operator=(const SWidget&) = delete;

	/** The class name given to SNew or SAssignNew, such as "SButton"; empty for a widget made another way. */
	const FString& GetTypeAsString() const { return TypeName; }
	/** A number unique among the widgets of this process, in order of creation, never 0. */
	uint64 GetId() const { return Id; }

	/** How many slots the widget has, empty ones included. */
	virtual int32 GetNumSlots() const { return 0; }
	/** The slot at Index, or null when Index is out of range. */
	virtual const FSlotBase* GetSlot(int32 Index) const { return nullptr; }
	/** The widgets in the slots, in slot order, skipping empty slots. */
	TArray<TSharedRef<SWidget>> GetChildren() const;

	/** The widget in the tree under Root (Root included) whose id is InId, or null when there is none. */
	static TSharedPtr<SWidget> FindWidgetById(const TSharedRef<SWidget>& Root, uint64 InId);

private:
	template <typename, typename>
	friend struct TSlateDecl;

	FString TypeName;
	uint64 Id;
};
