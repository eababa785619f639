// What the engine's header tool would generate for OrvidaLiveLinkSourceSettings.h, written by hand: the class and
// its properties as the header's UCLASS and UPROPERTY lines declare them.
#include "OrvidaLiveLinkSourceSettings.h"

#include "UObject/GeneratedCppIncludes.h"

IMPLEMENT_CLASS_WITH_PROPERTIES(UOrvidaLiveLinkSourceSettings, TEXT("/Script/OrvidaLiveLink"))
{
	UE_PROPERTY(Builder, SubjectName, CPF_Edit).Category(TEXT("Orvida"));
	UE_PROPERTY(Builder, bAutoLens, CPF_Edit).Category(TEXT("Orvida"));
	UE_PROPERTY(Builder, bAutoSceneTakeUpdate, CPF_Edit).Category(TEXT("Orvida"));
	UE_PROPERTY(Builder, bAutoRecord, CPF_Edit).Category(TEXT("Orvida"));
	UE_PROPERTY(Builder, SavedVersion, CPF_None);
}
