#include "Widgets/SBoxPanel.h"

FBoxSlot::FBoxSlot()
    : SizeValue(1.0f)
    , MaxSize(0.0f)
{
}
FBoxSlot::~FBoxSlot() = default;

SBoxPanel::~SBoxPanel() = default;

int32 SBoxPanel::RemoveSlot(const TSharedRef<SWidget>& SlotWidget)
{
	for (int32 Index = 0; Index < Children.Num(); ++Index)
	{
		if (Children[Index]->GetWidget().Get() == &SlotWidget.Get())
		{
			Children.RemoveAt(Index);
			return Index;
		}
	}
	return INDEX_NONE;
}

SVerticalBox::~SVerticalBox() = default;

void SVerticalBox::Construct(const FArguments& InArgs)
{
	for (const std::shared_ptr<FSlot>& Slot : InArgs.Slots)
	{
		Children.Add(Slot);
	}
}

SVerticalBox::FSlot& SVerticalBox::AddSlot()
{
	std::shared_ptr<FSlot> Slot = std::make_shared<FSlot>();
	Children.Add(Slot);
	return *Slot;
}

SHorizontalBox::~SHorizontalBox() = default;

void SHorizontalBox::Construct(const FArguments& InArgs)
{
	for (const std::shared_ptr<FSlot>& Slot : InArgs.Slots)
	{
		Children.Add(Slot);
	}
}

SHorizontalBox::FSlot& SHorizontalBox::AddSlot()
{
	std::shared_ptr<FSlot> Slot = std::make_shared<FSlot>();
	Children.Add(Slot);
	return *Slot;
}
