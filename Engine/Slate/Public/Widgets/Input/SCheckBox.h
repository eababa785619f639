#pragma once

#include "CoreTypes.h"
#include "Framework/SlateDelegates.h"
#include "Misc/Attribute.h"
#include "Styling/SlateTypes.h"
#include "Widgets/DeclarativeSyntaxSupport.h"
#include "Widgets/SCompoundWidget.h"

/** A tick box with optional content beside it (its label). The host reports the user's clicks with ToggleCheckedState. */
class SLATE_API SCheckBox : public SCompoundWidget
{
public:
	// clang-format off
	SLATE_BEGIN_ARGS(SCheckBox) : _IsChecked(ECheckBoxState::Unchecked) {}
		SLATE_ATTRIBUTE(ECheckBoxState, IsChecked)
		SLATE_EVENT(FOnCheckStateChanged, OnCheckStateChanged)
		SLATE_DEFAULT_SLOT(FArguments, Content)
	SLATE_END_ARGS()
	// clang-format on

	SCheckBox();
	~SCheckBox() override;
	void Construct(const FArguments& InArgs);

	/** True only when the state is Checked (Undetermined reads as false). */
	bool IsChecked() const { return GetCheckedState() == ECheckBoxState::Checked; }
	/** The state now (read through the getter when bound); Unchecked when unset. */
	ECheckBoxState GetCheckedState() const { return IsCheckboxChecked.Get(ECheckBoxState::Unchecked); }
	/** Replaces the state or its binding; fires no event, as a program's change is not the user's. */
	void SetIsChecked(TAttribute<ECheckBoxState> InIsChecked) { IsCheckboxChecked = InIsChecked; }

	/**
	 * The user clicked the box: Checked becomes Unchecked, anything else Checked. The new state is kept unless
	 * the state is bound to a getter (whose owner learns of it through the event); OnCheckStateChanged fires
	 * either way.
	 */
	void ToggleCheckedState();

private:
	TAttribute<ECheckBoxState> IsCheckboxChecked;
	FOnCheckStateChanged OnCheckStateChanged;
};
