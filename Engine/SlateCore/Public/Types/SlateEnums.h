#pragma once

#include "CoreTypes.h"

/** How a child sits across the width its slot gives it. */
enum EHorizontalAlignment : uint8
{
	HAlign_Fill = 0,
	HAlign_Left = 1,
	HAlign_Center = 2,
	HAlign_Right = 3,
};

/** How a child sits across the height its slot gives it. */
enum EVerticalAlignment : uint8
{
	VAlign_Fill = 0,
	VAlign_Top = 1,
	VAlign_Center = 2,
	VAlign_Bottom = 3,
};

/** Why an editable text was committed. */
namespace ETextCommit
{
enum Type
{
	/** Implicit commit, such as losing focus. */
	Default,
	OnEnter,
	OnUserMovedFocus,
	/** Focus cleared, such as by Escape. */
	OnCleared
};
} // namespace ETextCommit
