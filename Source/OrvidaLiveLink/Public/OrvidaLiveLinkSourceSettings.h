#pragma once

#include "CoreMinimal.h"
#include "LiveLinkSourceSettings.h"

#include "OrvidaLiveLinkSourceSettings.generated.h"

/**
 * What the client keeps for one camera link source and a preset saves with it: the subject's name and the three
 * options, beside the connection string. The user edits them in the Live Link panel's details.
 *
 * A settings object that holds no values of the source's own is known by SavedVersion 0: the client makes a new
 * object with the class's defaults, and a preset saved before this class existed restores an object whose
 * version reads 0 too. The options' defaults are values a user may choose, so the values alone cannot tell "saved
 * off" from "never saved"; a field that only the source writes, and whose default says "none", can. It counts
 * rather than flags, so that a later field can tell the presets saved before it.
 *
 * Threads: game thread only, as every settings object; the source copies what it needs (FOrvidaLiveLinkSource).
 */
UCLASS()
class ORVIDALIVELINK_API UOrvidaLiveLinkSourceSettings : public ULiveLinkSourceSettings
{
	GENERATED_BODY()

public:
	/** The version a source writes once the object holds its values. */
	static constexpr int32 CurrentVersion = 1;
	/** The subject's name when no other was given. */
	static const TCHAR* const DefaultSubjectName;

	UOrvidaLiveLinkSourceSettings();

	/** The Live Link subject the source publishes, without the spaces around it; a blank name keeps the one the source had. */
	UPROPERTY(EditAnywhere, Category = "Orvida")
	FString SubjectName;

	UPROPERTY(EditAnywhere, Category = "Orvida")
	bool bAutoLens = false;

	UPROPERTY(EditAnywhere, Category = "Orvida")
	bool bAutoSceneTakeUpdate = true;

	UPROPERTY(EditAnywhere, Category = "Orvida")
	bool bAutoRecord = false;

	/** 0: holds none of the source's values (see above); CurrentVersion once a source has written them. */
	UPROPERTY()
	int32 SavedVersion = 0;
};
