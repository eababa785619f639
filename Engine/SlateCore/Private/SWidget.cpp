#include "Widgets/SWidget.h"

#include "Widgets/SCompoundWidget.h"

namespace
{
/** Widgets are made on the game thread only, so a plain counter is enough. */
uint64 GLastWidgetId = 0;
} // namespace

FSlotBase::~FSlotBase() = default;
FSimpleSlot::~FSimpleSlot() = default;

SWidget::SWidget()
    : Id(++GLastWidgetId)
{
}

SWidget::~SWidget() = default;

SCompoundWidget::SCompoundWidget() = default;
SCompoundWidget::~SCompoundWidget() = default;
