#include "Widgets/Input/SButton.h"
#include "Widgets/Input/SCheckBox.h"
#include "Widgets/Input/SEditableTextBox.h"
#include "Widgets/Layout/SBox.h"
#include "Widgets/Text/STextBlock.h"

SBox::SBox() = default;
SBox::~SBox() = default;

void SBox::Construct(const FArguments& InArgs)
{
	WidthOverride = InArgs._WidthOverride;
	HeightOverride = InArgs._HeightOverride;
	ChildSlot.HAlign(InArgs._HAlign).VAlign(InArgs._VAlign).Padding(InArgs._Padding.Get(FMargin()));
	ChildSlot.AttachWidget(InArgs._Content.Widget);
}

STextBlock::STextBlock() = default;
STextBlock::~STextBlock() = default;

void STextBlock::Construct(const FArguments& InArgs) { BoundText = InArgs._Text; }

SEditableTextBox::SEditableTextBox() = default;
SEditableTextBox::~SEditableTextBox() = default;

void SEditableTextBox::Construct(const FArguments& InArgs)
{
	BoundText = InArgs._Text;
	HintText = InArgs._HintText;
	bIsReadOnly = InArgs._IsReadOnly;
	OnTextChanged = InArgs._OnTextChanged;
	OnTextCommitted = InArgs._OnTextCommitted;
}

SCheckBox::SCheckBox() = default;
SCheckBox::~SCheckBox() = default;

void SCheckBox::Construct(const FArguments& InArgs)
{
	IsCheckboxChecked = InArgs._IsChecked;
	OnCheckStateChanged = InArgs._OnCheckStateChanged;
	ChildSlot.AttachWidget(InArgs._Content.Widget);
}

void SCheckBox::ToggleCheckedState()
{
	const ECheckBoxState NewState = GetCheckedState() == ECheckBoxState::Checked ? ECheckBoxState::Unchecked : ECheckBoxState::Checked;
	if (!IsCheckboxChecked.IsBound())
	{
		IsCheckboxChecked.Set(NewState);
	}
	OnCheckStateChanged.ExecuteIfBound(NewState);
}

SButton::SButton() = default;
SButton::~SButton() = default;

void SButton::Construct(const FArguments& InArgs)
{
	bIsEnabled = InArgs._IsEnabled;
	OnClicked = InArgs._OnClicked;
	ChildSlot.HAlign(InArgs._HAlign).VAlign(InArgs._VAlign).Padding(InArgs._ContentPadding.Get(FMargin()));
	if (InArgs._Content.Widget.IsValid())
	{
		ChildSlot.AttachWidget(InArgs._Content.Widget);
	}
	else if (InArgs._Text.IsSet())
	{
		ChildSlot[SNew(STextBlock).Text(InArgs._Text)];
	}
}
