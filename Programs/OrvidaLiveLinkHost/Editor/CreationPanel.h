#pragma once

#include "CoreMinimal.h"

#include <optional>

class SButton;
class SCheckBox;
class SEditableTextBox;
class SWidget;

/** What the host's user chose for a source made through the creation panel; an unset option keeps what the panel shows. */
struct FHostPanelChoices
{
	/** Typed into the endpoint box and committed; unset keeps the endpoint the panel starts with (from the settings). */
	std::optional<FString> EndpointText;
	/** Typed into the "Subject Name" box and committed; unset keeps the name the panel starts with (from the settings). */
	std::optional<FString> SubjectName;
	std::optional<bool> bAutoLens;
	std::optional<bool> bAutoSceneTakeUpdate;
	std::optional<bool> bAutoRecord;
};

/**
 * A source factory's creation panel as a user meets it: text boxes and check boxes found by the label beside them,
 * and an "Ok" button; the host types, ticks and clicks as the user would.
 *
 * Threads: game thread only, like every widget.
 */
class FHostCreationPanel
{
public:
	/** Finds the widgets in the panel's tree; false when the endpoint's box, the button or a labelled check box is missing. */
	bool Find(const TSharedRef<SWidget>& Root);

	/** Types the choices into the panel and clicks "Ok". False, clicking nothing, when the panel lacks a widget a choice needs. */
	bool Confirm(const FHostPanelChoices& Choices);

private:
	/** Clicks the box when its state differs from bWanted; a box of that label must have been found. */
	void SetOption(const TCHAR* Label, bool bWanted);
	/** Types Text into the box and commits it; a box of that label must have been found. */
	void CommitText(const TCHAR* Label, const FString& Text);
	void Collect(const TSharedRef<SWidget>& Widget);

	TSharedPtr<SButton> OkButton;
	TMap<FString, TSharedPtr<SEditableTextBox>> TextBoxesByLabel;
	TMap<FString, TSharedPtr<SCheckBox>> CheckBoxesByLabel;
};
