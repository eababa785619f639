#pragma once

#include "CoreMinimal.h"
#include "Input/Reply.h"
#include "OrvidaLiveLinkConnectionSettings.h"
#include "Types/SlateEnums.h"
#include "Widgets/DeclarativeSyntaxSupport.h"
#include "Widgets/SCompoundWidget.h"

class SCheckBox;
class SEditableTextBox;

DECLARE_DELEGATE_OneParam(FOnConnectionSettingsAccepted, FOrvidaLiveLinkConnectionSettings);

/**
 * The creation panel: "Network Address:Port", "Subject Name" and three options, pre-filled from the project
 * settings. A committed endpoint that does not parse is replaced by 0.0.0.0:9001; "Ok" hands the parsed endpoint,
 * the subject name (the project's default name for a blank box) and the options on, and does nothing else when
 * the endpoint text does not parse. Under the name, a note says when the editor's Live Link client already holds
 * a subject of the name the source would get, since the client enables only one subject of a name. The panel keeps only weak references to the
 * widgets it reads, and its handlers do nothing once one of them is gone.
 *
 * Threads: game thread only.
 */
class SOrvidaLiveLinkSourceFactory : public SCompoundWidget
{
public:
	// clang-format off
	SLATE_BEGIN_ARGS(SOrvidaLiveLinkSourceFactory) {}
		SLATE_EVENT(FOnConnectionSettingsAccepted, OnConnectionSettingsAccepted)
	SLATE_END_ARGS()
	// clang-format on

	virtual ~SOrvidaLiveLinkSourceFactory() = default;

	void Construct(const FArguments& Args);

private:
	void OnEndpointTextCommitted(const FText& InText, ETextCommit::Type InCommitType);
	FReply OnOkClicked();
	/** The note under the name; empty while no subject has that name, or when the editor has no Live Link client. */
	FText GetSameNameNote() const;

	TWeakPtr<SCheckBox> AutoLensCheckBox;
	TWeakPtr<SCheckBox> AutoSceneTakeCheckBox;
	TWeakPtr<SCheckBox> AutoRecordCheckBox;
	TWeakPtr<SEditableTextBox> EndpointTextBox;
	TWeakPtr<SEditableTextBox> SubjectNameTextBox;
	FOnConnectionSettingsAccepted OnConnectionSettingsAccepted;
};
