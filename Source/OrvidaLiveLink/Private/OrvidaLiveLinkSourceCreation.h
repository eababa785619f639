#pragma once

#include "CoreMinimal.h"
#include "OrvidaLiveLinkConnectionSettings.h"

class FOrvidaLiveLinkSource;

/**
 * What the factory and its creation panel reduce to, free of any widget toolkit: the panel's first values, the
 * repair of a committed endpoint text, the confirmation, and the two ways a source is made. The widgets and the
 * factory only call these. Game thread.
 */
namespace OrvidaLiveLinkSourceCreation
{
struct FInitialPanelValues
{
	FString EndpointText;
	FString SubjectName;
	bool bAutoLens = false;
	bool bAutoSceneTakeUpdate = false;
	bool bAutoRecord = false;
};

/**
 * The panel's first values from the project settings. An address that is not four dot-separated numbers 0 to 255
 * (FOrvidaEndpointText) becomes 0.0.0.0; the port is the setting's low 16 bits (70000 shows 4464, -1 shows 65535);
 * the subject name is ResolveSubjectName's for an empty box.
 */
ORVIDALIVELINK_API FInitialPanelValues MakeInitialPanelValues(const FString& Address, int32 Port, const FString& SubjectName, bool bAutoLens,
                                                              bool bAutoSceneTakeUpdate, bool bAutoRecord);

/**
 * The subject name a source gets for the text of the panel's "Subject Name" box: the text without the spaces
 * around it; for a blank box, the project's default name, trimmed alike; when that is blank too,
 * UOrvidaLiveLinkSourceSettings::DefaultSubjectName. Never empty.
 */
ORVIDALIVELINK_API FString ResolveSubjectName(const FString& SubjectText, const FString& DefaultSubjectName);

/**
 * Nothing when the committed text is where a source listens as FOrvidaEndpointText::ParseSourceEndpoint reads it (it
 * stays as typed); otherwise the fixed 0.0.0.0:9001.
 */
ORVIDALIVELINK_API TOptional<FString> RepairEndpointText(const FString& CommittedText);

/**
 * The settings to create a source with, or nothing when the endpoint text is not where a source listens as
 * FOrvidaEndpointText reads it. The subject name is ResolveSubjectName's: an empty or blank SubjectText gives the
 * project's default name.
 */
ORVIDALIVELINK_API TOptional<FOrvidaLiveLinkConnectionSettings> ConfirmConnectionSettings(const FString& EndpointText, const FString& SubjectText,
                                                                                          const FString& DefaultSubjectName, bool bAutoLens,
                                                                                          bool bAutoSceneTakeUpdate, bool bAutoRecord);

/**
 * A new source for the confirmed settings, publishing under their subject name from its first frame, and its
 * connection string: the endpoint as a.b.c.d:port, followed by "@" and the interface's address for a group joined
 * on a named interface. The name is never in the string.
 */
ORVIDALIVELINK_API TSharedPtr<FOrvidaLiveLinkSource> CreateSource(const FOrvidaLiveLinkConnectionSettings& Settings, FString& OutConnectionString);

/**
 * A new source for a stored connection string, with the fixed options of a re-created source: lens update off,
 * scene/take update on, recording off. Null when the string is not where a source listens as FOrvidaEndpointText
 * reads it.
 */
ORVIDALIVELINK_API TSharedPtr<FOrvidaLiveLinkSource> CreateSourceFromConnectionString(const FString& ConnectionString);
} // namespace OrvidaLiveLinkSourceCreation
